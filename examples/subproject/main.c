/* One call into the library built beside this program. */
#include <errno.h>
#include <stdio.h>

#include <varnel/math/c99.h>

int main(void) {
  errno = 0;
  const double g = varnel_tgamma(4.5);
  printf("tgamma(4.5) = %.17g, errno %d\n", g, errno);
  /* Gamma(4.5) = 11.6317283965674489...: a few units in the last place at most */
  return g > 11.6317283965674 && g < 11.6317283965675 && errno == 0 ? 0 : 1;
}
