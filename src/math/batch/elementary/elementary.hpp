// Every lane form of the elementary functions (see lanes.hpp for the
// contract, and each header for what its functions cover).
#ifndef VARNEL_SRC_MATH_BATCH_ELEMENTARY_ELEMENTARY_HPP
#define VARNEL_SRC_MATH_BATCH_ELEMENTARY_ELEMENTARY_HPP

#include "lanes.hpp"
#include "exp.hpp"
#include "log.hpp"
#include "pow.hpp"
#include "sin.hpp"
#include "expm1.hpp"
#include "log1p.hpp"

#endif
