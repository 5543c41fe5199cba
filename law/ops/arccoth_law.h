#pragma once
#include "law/ops/elementary_laws.h"
