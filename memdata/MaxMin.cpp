#include "memdata/MaxMin.h"

Integer LesserInt(Integer a, Integer b) { return a < b ? a : b; }
