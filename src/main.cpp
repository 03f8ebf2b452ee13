#include "driver/driver.h"

#include <malloc.h>

// A run allocates and frees as it goes and ends soon: memory freed is kept
// for the next allocation rather than given back, and large blocks come
// from the same heap, so that pages are mapped once (a page mapped anew
// costs a fault, which on some virtual machines costs microseconds).
int main(int argc, char** argv) {
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
  return driver::RunDriver(argc, argv);
}
