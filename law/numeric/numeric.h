#pragma once
// The numeric subsystem of the law library.
#include <law/numeric/derivative_law.h>
#include <law/numeric/integrate_law.h>
#include <law/numeric/law_integrate.h>
#include <law/numeric/linear_system.h>
#include <law/numeric/ndifferentiate.h>
#include <law/numeric/nintegrate.h>
#include <law/numeric/polynomial_law.h>
#include <law/numeric/shift_law.h>
