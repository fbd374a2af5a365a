// Every family the exports of the math libraries and the batch library
// call, one header per exported function (the classification templates in
// classification.hpp).
#ifndef VARNEL_SRC_MATH_FAMILIES_HPP
#define VARNEL_SRC_MATH_FAMILIES_HPP

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/acosh.hpp>
#include <varnel/math/special_functions/asinh.hpp>
#include <varnel/math/special_functions/atanh.hpp>
#include <varnel/math/special_functions/cbrt.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/copysign.hpp>
#include <varnel/math/special_functions/erf.hpp>
#include <varnel/math/special_functions/erfc.hpp>
#include <varnel/math/special_functions/expm1.hpp>
#include <varnel/math/special_functions/fmax.hpp>
#include <varnel/math/special_functions/fmin.hpp>
#include <varnel/math/special_functions/hypot.hpp>
#include <varnel/math/special_functions/lgamma.hpp>
#include <varnel/math/special_functions/llround.hpp>
#include <varnel/math/special_functions/log1p.hpp>
#include <varnel/math/special_functions/lround.hpp>
#include <varnel/math/special_functions/nextafter.hpp>
#include <varnel/math/special_functions/nexttoward.hpp>
#include <varnel/math/special_functions/round.hpp>
#include <varnel/math/special_functions/tgamma.hpp>
#include <varnel/math/special_functions/trunc.hpp>

#endif
