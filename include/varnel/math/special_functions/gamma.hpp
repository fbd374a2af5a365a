// The gamma function Gamma(x) for every real x, as tgamma (tgamma.hpp) and
// log-gamma (lgamma.hpp) evaluate it:
//
//   - poles at zero and the negative integers;
//   - reflection Gamma(x) = -pi / (Gamma(-x) * x sin(pi x)) for x <= -20;
//   - an upward shift, dividing by each shifted value, for -20 < x < 0;
//   - exact factorials for the integers 1 to 169;
//   - the two-term series 1/z - euler_gamma below 2^-26;
//   - the Lanczos approximation otherwise, with the power split in two
//     halves where the full power would overflow.
//
// Everything computes in binary64; the float library narrows the result.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_GAMMA_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_GAMMA_HPP

#include <cassert>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/detail/lanczos.hpp>
#include <varnel/math/special_functions/trunc.hpp>
#include <varnel/math/constants.hpp>
#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math::detail {

// k! for k = 0 ... 170, each rounded once to the nearest binary64 (ties to
// even).  Exact up to 22!; the rest carry one rounding of the true integer.
inline constexpr double factorial_table[171] = {
    0x1p+0,                   // 0! = 1.0
    0x1p+0,                   // 1! = 1.0
    0x1p+1,                   // 2! = 2.0
    0x1.8p+2,                 // 3! = 6.0
    0x1.8p+4,                 // 4! = 24.0
    0x1.ep+6,                 // 5! = 120.0
    0x1.68p+9,                // 6! = 720.0
    0x1.3bp+12,               // 7! = 5040.0
    0x1.3bp+15,               // 8! = 40320.0
    0x1.626p+18,              // 9! = 362880.0
    0x1.baf8p+21,             // 10! = 3628800.0
    0x1.308a8p+25,            // 11! = 39916800.0
    0x1.c8cfcp+28,            // 12! = 479001600.0
    0x1.7328ccp+32,           // 13! = 6227020800.0
    0x1.44c3b28p+36,          // 14! = 87178291200.0
    0x1.30777758p+40,         // 15! = 1307674368000.0
    0x1.30777758p+44,         // 16! = 20922789888000.0
    0x1.437eeecd8p+48,        // 17! = 355687428096000.0
    0x1.6beecca73p+52,        // 18! = 6402373705728000.0
    0x1.b02b930689p+56,       // 19! = 1.21645100408832e+17
    0x1.0e1b3be415ap+61,      // 20! = 2.43290200817664e+18
    0x1.6283be9b5c62p+65,     // 21! = 5.109094217170944e+19
    0x1.e77526159f06cp+69,    // 22! = 1.1240007277776077e+21
    0x1.5e5c335f8a4cep+74,    // 23! = 2.585201673888498e+22
    0x1.06c52687a7b9ap+79,    // 24! = 6.204484017332394e+23
    0x1.9a940c33f6121p+83,    // 25! = 1.5511210043330986e+25
    0x1.4d9849ea37eebp+88,    // 26! = 4.0329146112660565e+26
    0x1.19787e5d9f316p+93,    // 27! = 1.0888869450418352e+28
    0x1.ec92dd23d6967p+97,    // 28! = 3.0488834461171387e+29
    0x1.be6518687a785p+102,   // 29! = 8.841761993739702e+30
    0x1.a27ec6e1f2d0dp+107,   // 30! = 2.6525285981219107e+32
    0x1.956ad0aae33a4p+112,   // 31! = 8.222838654177922e+33
    0x1.956ad0aae33a4p+117,   // 32! = 2.631308369336935e+35
    0x1.a21627303a541p+122,   // 33! = 8.683317618811886e+36
    0x1.bc3789a33df96p+127,   // 34! = 2.9523279903960416e+38
    0x1.e5dcbe8a8bc8cp+132,   // 35! = 1.0333147966386145e+40
    0x1.114c2b2deea0fp+138,   // 36! = 3.7199332678990125e+41
    0x1.3c0011ed1bea1p+143,   // 37! = 1.3763753091226346e+43
    0x1.774015499125fp+148,   // 38! = 5.230226174666011e+44
    0x1.c95619f1a8e64p+153,   // 39! = 2.0397882081197444e+46
    0x1.1dd5d037098fep+159,   // 40! = 8.159152832478977e+47
    0x1.6e39f2c684406p+164,   // 41! = 3.345252661316381e+49
    0x1.e0ac0ea48d948p+169,   // 42! = 1.40500611775288e+51
    0x1.42f399d68f1fcp+175,   // 43! = 6.041526306337383e+52
    0x1.bc0ef38704cbbp+180,   // 44! = 2.658271574788449e+54
    0x1.383a833aef5f3p+186,   // 45! = 1.1962222086548019e+56
    0x1.c0d41ca4b818ep+191,   // 46! = 5.502622159812089e+57
    0x1.499bc508f7324p+197,   // 47! = 2.5862324151116818e+59
    0x1.ee69a78d72cb6p+202,   // 48! = 1.2413915592536073e+61
    0x1.7a88e4484be3bp+208,   // 49! = 6.082818640342675e+62
    0x1.27baf2587b49ep+214,   // 50! = 3.0414093201713376e+64
    0x1.d751f23d047dcp+219,   // 51! = 1.5511187532873822e+66
    0x1.7ef294d193a63p+225,   // 52! = 8.065817517094388e+67
    0x1.3d20e33d8e45ap+231,   // 53! = 4.2748832840600255e+69
    0x1.0b93bfbbf00acp+237,   // 54! = 2.308436973392414e+71
    0x1.cbe5f18b04928p+242,   // 55! = 1.2696403353658276e+73
    0x1.92693359a4003p+248,   // 56! = 7.109985878048635e+74
    0x1.6665b1bbd6102p+254,   // 57! = 4.0526919504877214e+76
    0x1.44cc291239feap+260,   // 58! = 2.3505613312828785e+78
    0x1.2b6c35dccd76cp+266,   // 59! = 1.3868311854568984e+80
    0x1.18b5727f009f5p+272,   // 60! = 8.32098711274139e+81
    0x1.0b8cf1210c97ep+278,   // 61! = 5.075802138772248e+83
    0x1.0330899804332p+284,   // 62! = 3.146997326038794e+85
    0x1.fe478ee34844ap+289,   // 63! = 1.98260831540444e+87
    0x1.fe478ee34844ap+295,   // 64! = 1.2688693218588417e+89
    0x1.0320568f6ab2ep+302,   // 65! = 8.247650592082472e+90
    0x1.0b395943e6087p+308,   // 66! = 5.443449390774431e+92
    0x1.17c0097314d0dp+314,   // 67! = 3.647111091818868e+94
    0x1.293c0a0a461dep+320,   // 68! = 2.4800355424368305e+96
    0x1.4074bad313983p+326,   // 69! = 1.711224524281413e+98
    0x1.5e7fac56dd6e8p+332,   // 70! = 1.1978571669969892e+100
    0x1.84d5a3305da69p+338,   // 71! = 8.504785885678623e+101
    0x1.b5705796695b6p+344,   // 72! = 6.1234458376886085e+103
    0x1.f2f423e7902c4p+350,   // 73! = 4.4701154615126844e+105
    0x1.207524c1df599p+357,   // 74! = 3.307885441519386e+107
    0x1.5209471331bdp+363,    // 75! = 2.48091408113954e+109
    0x1.916b0466cb107p+369,   // 76! = 1.8854947016660504e+111
    0x1.e2f4c14bac4fcp+375,   // 77! = 1.4518309202828587e+113
    0x1.264d25ca1d009p+382,   // 78! = 1.1324281178206297e+115
    0x1.6b473aa57bcccp+388,   // 79! = 8.946182130782976e+116
    0x1.c619094edabffp+394,   // 80! = 7.156945704626381e+118
    0x1.1f5bd7e3e66d7p+401,   // 81! = 5.797126020747368e+120
    0x1.702dac9bff3c4p+407,   // 82! = 4.753643337012842e+122
    0x1.dd7b3bda4f022p+413,   // 83! = 3.945523969720659e+124
    0x1.3958df4743d96p+420,   // 84! = 3.314240134565353e+126
    0x1.a02a088aa61cbp+426,   // 85! = 2.81710411438055e+128
    0x1.179c3dbd279b5p+433,   // 86! = 2.4227095383672734e+130
    0x1.7c1863ed21d72p+439,   // 87! = 2.107757298379528e+132
    0x1.0550c4b30743ep+446,   // 88! = 1.8548264225739844e+134
    0x1.6b645188f61a6p+452,   // 89! = 1.650795516090846e+136
    0x1.ff0512a89a152p+458,   // 90! = 1.4857159644817615e+138
    0x1.6b4d9b43dd8bp+465,    // 91! = 1.352001527678403e+140
    0x1.051fc798c73bfp+472,   // 92! = 1.2438414054641308e+142
    0x1.7b722e0a01831p+478,   // 93! = 1.1567725070816416e+144
    0x1.16a7d9cf591c4p+485,   // 94! = 1.087366156656743e+146
    0x1.9da1274fc845fp+491,   // 95! = 1.032997848823906e+148
    0x1.3638dd7bd6347p+498,   // 96! = 9.916779348709496e+149
    0x1.d62e2fafb0a78p+504,   // 97! = 9.619275968248212e+151
    0x1.67fb5c8283404p+511,   // 98! = 9.426890448883248e+153
    0x1.166c698cf183bp+518,   // 99! = 9.332621544394415e+155
    0x1.b30964ec395dcp+524,   // 100! = 9.332621544394415e+157
    0x1.574569a26544p+531,    // 101! = 9.42594775983836e+159
    0x1.118b502d68b23p+538,   // 102! = 9.614466715035127e+161
    0x1.b83c3509147ecp+544,   // 103! = 9.90290071648618e+163
    0x1.65b0eb1760a7p+551,    // 104! = 1.0299016745145628e+166
    0x1.256b20d92d49p+558,    // 105! = 1.081396758240291e+168
    0x1.e5f96e67b300ep+564,   // 106! = 1.1462805637347084e+170
    0x1.963e824aafa2cp+571,   // 107! = 1.226520203196138e+172
    0x1.56c4bdef04315p+578,   // 108! = 1.324641819451829e+174
    0x1.23e389bd8992p+585,    // 109! = 1.4438595832024937e+176
    0x1.f5af14bdc472fp+591,   // 110! = 1.588245541522743e+178
    0x1.b30dd3fc905bap+598,   // 111! = 1.7629525510902446e+180
    0x1.7cac197cfe503p+605,   // 112! = 1.974506857221074e+182
    0x1.500fee805882dp+612,   // 113! = 2.2311927486598138e+184
    0x1.2b4e306a4ed48p+619,   // 114! = 2.5435597334721877e+186
    0x1.0ce83f7f82d2fp+626,   // 115! = 2.925093693493016e+188
    0x1.e764f3171d1e4p+632,   // 116! = 3.393108684451898e+190
    0x1.bd824633209dbp+639,   // 117! = 3.969937160808721e+192
    0x1.9ab418b722116p+646,   // 118! = 4.684525849754291e+194
    0x1.7dd36efa41ac2p+653,   // 119! = 5.574585761207606e+196
    0x1.65f6380a9d916p+660,   // 120! = 6.689502913449127e+198
    0x1.5262c0fa08f37p+667,   // 121! = 8.094298525273444e+200
    0x1.42861fee5088p+674,    // 122! = 9.875044200833601e+202
    0x1.35ece2af0162bp+681,   // 123! = 1.214630436702533e+205
    0x1.2c3d7b998957ap+688,   // 124! = 1.506141741511141e+207
    0x1.25340ab3f01f9p+695,   // 125! = 1.882677176888926e+209
    0x1.209f3a89205f1p+702,   // 126! = 2.372173242880047e+211
    0x1.1e5dfc140e1e5p+709,   // 127! = 3.0126600184576594e+213
    0x1.1e5dfc140e1e5p+716,   // 128! = 3.856204823625804e+215
    0x1.209ab80c363a9p+723,   // 129! = 4.974504222477287e+217
    0x1.251d22ec67138p+730,   // 130! = 6.466855489220474e+219
    0x1.2bfbd1bdf17dfp+737,   // 131! = 8.47158069087882e+221
    0x1.355bb04be109ep+744,   // 132! = 1.1182486511960043e+224
    0x1.4171452ed7d44p+751,   // 133! = 1.4872707060906857e+226
    0x1.5082946d09f23p+758,   // 134! = 1.9929427461615188e+228
    0x1.62e9b88b007d7p+765,   // 135! = 2.6904727073180504e+230
    0x1.79185413b0855p+772,   // 136! = 3.659042881952549e+232
    0x1.939c09fd12eebp+779,   // 137! = 5.012888748274992e+234
    0x1.b3243ac4d8695p+786,   // 138! = 6.917786472619489e+236
    0x1.d88957d1c3026p+793,   // 139! = 9.615723196941089e+238
    0x1.026b1c06b6a55p+801,   // 140! = 1.3462012475717526e+241
    0x1.1ca9fcdf65321p+808,   // 141! = 1.898143759076171e+243
    0x1.3bcc9487d4439p+815,   // 142! = 2.695364137888163e+245
    0x1.60ce8defbf238p+822,   // 143! = 3.854370717180073e+247
    0x1.8ce85fadb707ep+829,   // 144! = 5.5502938327393044e+249
    0x1.c19f3c62c956fp+836,   // 145! = 8.047926057471992e+251
    0x1.006cd07056d39p+844,   // 146! = 1.1749972043909107e+254
    0x1.267cf76103b7p+851,    // 147! = 1.727245890454639e+256
    0x1.54807e082c4b9p+858,   // 148! = 2.5563239178728654e+258
    0x1.8c5d92b5839p+865,     // 149! = 3.80892263763057e+260
    0x1.d07da7ecb62ccp+872,   // 150! = 5.713383956445855e+262
    0x1.11fa1e0c9f746p+880,   // 151! = 8.62720977423324e+264
    0x1.455903aefd5a3p+887,   // 152! = 1.3113358856834524e+267
    0x1.84e466672ad5dp+894,   // 153! = 2.0063439050956823e+269
    0x1.d3e2cb341f894p+901,   // 154! = 3.0897696138473508e+271
    0x1.1b4a51088f182p+909,   // 155! = 4.789142901463394e+273
    0x1.594292c26e656p+916,   // 156! = 7.471062926282894e+275
    0x1.a77ba8027b686p+923,   // 157! = 1.1729568794264145e+278
    0x1.055e51b1882a7p+931,   // 158! = 1.853271869493735e+280
    0x1.44ab297a8724bp+938,   // 159! = 2.9467022724950384e+282
    0x1.95d5f3d928edep+945,   // 160! = 4.7147236359920616e+284
    0x1.fe771cb7257b3p+952,   // 161! = 7.590705053947219e+286
    0x1.4307602be5b7fp+960,   // 162! = 1.2296942187394494e+289
    0x1.9b5b6477e6884p+967,   // 163! = 2.0044015765453026e+291
    0x1.07868c5ccfaf4p+975,   // 164! = 3.287218585534296e+293
    0x1.53b370efa3b7fp+982,   // 165! = 5.423910666131589e+295
    0x1.b88cb676c8529p+989,   // 166! = 9.003691705778438e+297
    0x1.1f63cb077cadep+997,   // 167! = 1.503616514864999e+300
    0x1.7932fa79d3a43p+1004,  // 168! = 2.5260757449731984e+302
    0x1.f2054eb4d96ecp+1011,  // 169! = 4.269068009004705e+304
    0x1.4ab7864418639p+1019,  // 170! = 7.257415615307999e+306
};

constexpr const char* tgamma_function = "varnel::math::tgamma<%1%>(%1%)";
constexpr const char* tgamma_too_large = "Result of tgamma is too large to represent.";
constexpr const char* tgamma_too_small = "Result of tgamma is too small to represent.";

// z * sin(pi z), with sin only ever evaluated on [0, pi/2]: the argument is
// reduced to the distance d from |z| to its nearest integer, and the sign
// of sin(pi |z|) comes from the parity of floor(|z|).  Callers pass finite
// non-integers.
template <class T> inline T x_sin_pi_x(T z) noexcept {
  static_assert(std::is_same_v<T, double>, "computes in binary64");
  T s = 1;
  const T a = z < 0 ? -z : z;
  T fl = std::floor(a);
  T d;
  // The parity is read from fl as a 32-bit integer.  From 2^31 up the
  // conversion would be undefined, so the bound is tested first and such fl
  // count as even: that only flips the sign, and only where no caller reads
  // it (tgamma's reflection has underflowed long before, lgamma takes |.|).
  const bool odd = fl < T(2147483648.0) && (static_cast<std::int32_t>(fl) & 1) != 0;
  if (odd) {
    fl += 1;
    d = fl - a;
    s = -1;
  } else {
    d = a - fl;
  }
  assert(fl >= 0);
  if (d > T(0.5)) d = 1 - d;  // now 0 <= d <= 1/2
  return (s * a) * elementary::sin(d * constants::pi<T>());
}

// Gamma(z) for NaN, +infinity, or finite z > -20 that is neither zero nor
// a negative integer.  Reports overflow; nothing else.
template <class T, class Policy> inline T gamma_direct(T z, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, double>, "computes in binary64");
  T result = 1;
  // Negative non-integers above -20: Gamma(z) = Gamma(z + k) / (z (z+1) ...),
  // at most 20 steps.  Ends with 0 < z < 1, or z = 1 when the last addition
  // rounds up (z = -1e-20).
  if (z <= 0) {
    while (z < 0) {
      result /= z;
      z += 1;
    }
  }
  // Integers below 170 straight from the table.  170 itself goes to the
  // Lanczos form with everything above it.
  if (std::floor(z) == z && z < 170) {
    const int n = varnel::math::itrunc(z, pol);
    return result * factorial_table[n - 1];
  }
  // Gamma(z) = 1/z - euler_gamma + O(z) below 2^-26.  Below 2^-1024 = 1/max
  // the true value is already beyond the largest double.
  if (z < tools::root_epsilon<T>()) {
    if (z < 1 / tools::max_value<T>()) {
      result = policies::on_overflow_error<T>(tgamma_function, nullptr, pol);
    }
    return result * ((1 / z) - constants::euler_mascheroni<T>());
  }
  // Lanczos: L(z) zgh^(z - 1/2) / e^zgh.
  result *= lanczos_ratio(z);
  const T zgh = lanczos_zgh(z);
  const T lzgh = elementary::log(zgh);
  // zgh^(z - 1/2) alone would overflow (from about z = 141.975): take the
  // power in two halves, dividing by e^zgh in between.  Gamma(z) itself
  // overflows from about z = 171.62437695630272.
  if (z * lzgh > tools::largest_exp_argument<T>()) {
    // Even the half power overflows (from about z = 254.925; +infinity too).
    if ((lzgh * z) / 2 > tools::largest_exp_argument<T>()) {
      return sign_of(result) * policies::on_overflow_error<T>(tgamma_function, tgamma_too_large, pol);
    }
    const T hp = elementary::pow(zgh, (z / 2) - T(0.25));
    result *= hp / elementary::exp(zgh);
    if (result > tools::max_value<T>() / hp) {
      return sign_of(result) * policies::on_overflow_error<T>(tgamma_function, tgamma_too_large, pol);
    }
    return result * hp;
  }
  return result * (elementary::pow(zgh, z - constants::one_half<T>()) / elementary::exp(zgh));
}

// Gamma(z) for non-integers z <= -20 by reflection: with x = -z >= 20,
//
//   Gamma(z) = -pi / (Gamma(x) * z sin(pi z)),
//
// divided in an order in which nothing overflows while the result is
// representable.
//
// Below x = 171.6, Gamma(x) is finite.  The denominator is formed first and,
// when it is finite, divided into -pi.  When it overflows (only for x above
// 170) the result is below pi / max_value ~ 1.75e-308, subnormal but far from
// zero (Gamma(-170.9) ~ -1.37e-308).  Such an x lies at least 2^-45 from an
// integer, so -pi / (z sin(pi z)) is at most about 2e11 in magnitude:
// dividing that by Gamma(x) overflows nothing and rounds into the
// subnormals only in its last step.
//
// From x = 171.6 up the denominator always overflows (|z sin(pi z)| >= 158
// for x in [171.6, 171.625], and Gamma(x) itself overflows beyond), yet
// beside the poles results stay normal up to about x = 172 and subnormal
// up to x = 184.  There Gamma(x) = A hp with the split power of
// gamma_direct, hp = zgh^(x/2 - 1/4) and A = L(x) hp / e^zgh, and the
// quotient is ((-pi / (z sin(pi z))) / A) / hp: A stays below about e^450,
// so the first two quotients are normal and only the last division rounds
// into the subnormals or to zero.  Where hp itself would overflow (from
// about x = 254.9) the result is far below every subnormal.
template <class T, class Policy> inline T gamma_reflection(T z, const Policy& pol) noexcept {
  using std::fabs;
  const T pi = constants::pi<T>();
  const T x = -z;
  if (x < T(171.6)) {
    T result = gamma_direct(x, pol);  // finite: no report from here
    const T xs = x_sin_pi_x(z);
    const T product = result * xs;
    if (fabs(product) <= tools::max_value<T>()) {
      result = product;
      // |result| > 1 or max * |result| > pi: -pi / result cannot overflow.
      assert((fabs(result) > 1) || (tools::max_value<T>() * fabs(result) > varnel::math::constants::pi<T>()));
      // |result| <= max_value, so the quotient is at least pi / max_value:
      // never zero here.
      return -pi / result;
    }
    return (-pi / xs) / result;
  }
  const T zgh = lanczos_zgh(x);
  const T lzgh = elementary::log(zgh);
  if ((lzgh * x) / 2 > tools::largest_exp_argument<T>()) {
    return policies::on_underflow_error<T>(tgamma_function, tgamma_too_small, pol);
  }
  const T hp = elementary::pow(zgh, (x / 2) - T(0.25));
  const T a = lanczos_ratio(x) * (hp / elementary::exp(zgh));
  const T result = ((-pi / x_sin_pi_x(z)) / a) / hp;
  if (result == 0) return policies::on_underflow_error<T>(tgamma_function, tgamma_too_small, pol);
  return result;
}

// Gamma(z) for every z.  Reports poles and underflow; gamma_direct reports
// overflow.
template <class T, class Policy> inline T tgamma_eval(T z, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, double>, "computes in binary64");
  if (z > 0 || math::isnan(z)) return gamma_direct(z, pol);
  // +-0, the negative integers and -infinity.
  if (std::floor(z) == z) {
    return policies::on_pole_error(tgamma_function, "Evaluation of tgamma at a negative integer %1%.", z, pol);
  }
  if (z > -20) return gamma_direct(z, pol);
  return gamma_reflection(z, pol);
}

}  // namespace varnel::math::detail

#endif
