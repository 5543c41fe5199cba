#pragma once
// Measures of a curve or a surface taken at the values of wrapped laws:
//   CURVEPERP(C,P[,G]) the parameter of the foot of the perpendicular from the point P to the
//     curve C, searched from the parameter G when given;
//   SURFPERP(S,P[,G]) the parameters (u, v) of the foot on the surface S, from the guess G (u, v);
//   LENGTH(C,A,B) the arc length of C from the parameter A to the parameter B;
//   LENGTH_PARAM(C,A,L) the parameter reached from A after the arc length L.
// Their derivatives are numerical; their domain is where the wrapped laws are defined.
#include <law/data/data_operation_law.h>

using curveperp_law = data_operation_law_of<law_id::curveperp_law>;
using surfperp_law = data_operation_law_of<law_id::surfperp_law>;
using length_law = data_operation_law_of<law_id::length_law>;
using length_param_law = data_operation_law_of<law_id::length_param_law>;

// The inverse of a curve or surface law: law id (curveperp_law or surfperp_law) over data and
// the point VEC(X1,X2,X3) of space.
law *make_perpendicular(int id, law_data *data);
