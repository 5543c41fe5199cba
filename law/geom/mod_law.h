#pragma once
#include "law/geom/log_law.h"
