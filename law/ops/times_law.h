#pragma once
#include "law/ops/arithmetic_laws.h"
