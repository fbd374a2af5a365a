/* The batch library: tgamma over an array, each element the scalar
   function's result, with the per-element errors and the count of elements
   that reported one.  Exit status 1 where the errors or a few exact results
   are not what they must be. */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <varnel/math/batch.h>

int main(void) {
  double x[10] = {0.0, 0.5, -1.0, 2.0, 1e-320, 3.0, 171.7, -2.0, 4.5, 0.25};
  double r[10];
  int errors[10];
  size_t i, count;

  printf("batch level: %s\n", varnel_batch_isa());
  errno = 0;
  count = varnel_tgamma_n(10, x, r, errors);
  for (i = 0; i < 10; ++i)
    printf("tgamma(%g) = %.17g%s\n", x[i], r[i],
           errors[i] == EDOM     ? " (EDOM)"
           : errors[i] == ERANGE ? " (ERANGE)"
                                 : "");
  printf("%u elements reported an error; errno is %s\n", (unsigned)count,
         errno == ERANGE ? "ERANGE"
         : errno == EDOM ? "EDOM"
                         : "untouched");
  /* The poles 0, -1 and -2 and the overflows at 1e-320 and 171.7 report;
     the last of them in order, -2, leaves EDOM. */
  if (count != 5 || errno != EDOM || errors[7] != EDOM || errors[6] != ERANGE || errors[1] != 0) return 1;
  /* Gamma(2) = 1 and Gamma(3) = 2 exactly (factorials). */
  if (r[3] != 1.0 || r[5] != 2.0) return 1;
  return 0;
}
