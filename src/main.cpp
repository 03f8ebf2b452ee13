#include "driver/driver.h"

int main(int argc, char** argv) { return driver::RunDriver(argc, argv); }
