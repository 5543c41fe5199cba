#pragma once
#include "law/ops/vector_function_laws.h"
