#pragma once
#include "law/geom/domain_law.h"
