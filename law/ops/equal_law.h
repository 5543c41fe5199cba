#pragma once
#include "law/ops/comparison_laws.h"
