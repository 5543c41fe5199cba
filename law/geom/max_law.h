#pragma once
#include "law/geom/extremum_laws.h"
