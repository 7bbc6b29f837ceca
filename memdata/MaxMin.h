// Integer helpers of the dataset utilities.
#pragma once

#include "platform/runtime/Types.h"

// The smaller of two integers.
Integer LesserInt(Integer a, Integer b);
