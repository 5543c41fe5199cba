#pragma once
// The law expression language: registries, parser and list utilities.
#include <law/lang/law_list.h>
#include <law/lang/list_utils.h>
#include <law/lang/str_to_law.h>
