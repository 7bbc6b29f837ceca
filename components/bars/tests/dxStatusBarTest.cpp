#include <gtest/gtest.h>

#include "components/bars/dxStatusBar.h"

TEST(StatusBarSmoke, Compiles) { SUCCEED(); }
