#pragma once
// The law expression language: registries, parser and list utilities.
#include "law/lang/law_list.h"
