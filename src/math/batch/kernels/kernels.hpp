// Every kernel of the batch library, for the level the including unit is
// compiled for (level.cpp).  A family missing here runs through its scalar
// function at every level.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_KERNELS_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_KERNELS_HPP

#include "kernel.hpp"
#include "copysign.hpp"
#include "fmax_fmin.hpp"
#include "expm1.hpp"
#include "log1p.hpp"
#include "round.hpp"
#include "trunc.hpp"
#include "lround.hpp"
#include "nextafter.hpp"
#include "cbrt.hpp"
#include "hypot.hpp"
#include "erf.hpp"
#include "tgamma.hpp"
#include "lgamma.hpp"
#include "acosh.hpp"
#include "asinh.hpp"
#include "atanh.hpp"

#endif
