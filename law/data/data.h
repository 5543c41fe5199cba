#pragma once
// Law data: the objects through which laws reach geometry and other laws.
#include "law/data/law_data.h"
#include "law/data/law_law_data.h"
