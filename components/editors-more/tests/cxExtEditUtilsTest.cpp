// The shared helpers of the label, progress bar and check list box.
#include <gtest/gtest.h>

#include "components/editors-more/cxExtEditUtils.h"
#include "components/foundation/cxGraphics.h"
#include "platform/controls/Graphics.h"
#include "platform/drawing/Gdi.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Locale.h"

TEST(cxExtEditUtils, RectSidesAndClampedSizes) {
  TRect r{10, 20, 30, 40};
  ExtendRectSides(r, -1, -2, 3, 4);
  EXPECT_EQ(r, (TRect{9, 18, 33, 44}));
  EXPECT_EQ(GetClampedRectWidth(TRect{10, 0, 5, 0}), 0);
  EXPECT_EQ(GetClampedRectHeight(TRect{0, 9, 0, 4}), 0);
  EXPECT_EQ(GetClampedRectWidth(TRect{-5, 0, 5, 0}), 10);
}

TEST(cxExtEditUtils, TextFlagsForBothFlagSets) {
  struct Case {
    TAlignment horz;
    TcxEditVertAlignment vert;
    bool ellipsis, wrap;
    int tab;
    bool platform, prefix;
    int expected;
  };
  const Case cases[] = {
      {taCenter, taVCenter, false, true, 0, false, false, 0x424},
      {taCenter, taVCenter, false, true, 0, true, false, 0x815},
      {taLeftJustify, taTopJustify, false, false, 0, false, true, 0x1 | 0x8 | 0x200},
      {taRightJustify, taBottomJustify, true, false, 4, false, false, 0x2 | 0x10 | 0x800 | 0x100},
      {taRightJustify, taBottomJustify, true, false, 4, true, true, 0x2 | 0x8 | 0x8000 | 0x40 | 0x80},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MakeTextFlags(0, c.horz, c.vert, c.ellipsis, c.wrap, c.tab, c.platform, c.prefix), c.expected)
        << c.horz << " " << c.vert << " platform " << c.platform;
  EXPECT_EQ(MakeTextFlags(0x40, taLeftJustify, taTopJustify, false, false, 0, true, true), 0x40);
}

TEST(cxExtEditUtils, NumberTexts) {
  orv::TLocaleScope english(orv::TLocaleProfile::EnglishUS);
  for (const char* good : {"+5", "$1F", " 12 ", "-2147483648", "0x7fffffff", "x10"})
    EXPECT_TRUE(IsIntegerText(good)) << good;
  for (const char* bad : {"1.0", "", "   ", "2147483648", "-2147483649", "$", "12a", "+"})
    EXPECT_FALSE(IsIntegerText(bad)) << bad;
  for (const std::string& good : {std::string("-0.5"), std::string("12"), std::string(" 3.25 "), "1" + std::string(300, '0')})
    EXPECT_TRUE(IsFloatText(good)) << good;
  // A lone sign or separator is refused instead of raising a conversion error to the caller.
  for (const std::string& bad : {std::string("1e5"), std::string("--1"), std::string("1.2.3"), std::string(), std::string("-"), std::string("."), "1" + std::string(310, '0'), std::string("1,5")})
    EXPECT_FALSE(IsFloatText(bad)) << bad;
  EXPECT_TRUE(IsVarNullOrEmpty(Null()));
  EXPECT_TRUE(IsVarNullOrEmpty(Variant()));
  EXPECT_FALSE(IsVarNullOrEmpty(Variant(0)));
}

TEST(cxExtEditUtils, FontAngleTurnsTrueTypeFontsOnly) {
  std::unique_ptr<TcxScreenCanvas, orv::FreeDeleter> canvas(new TcxScreenCanvas);
  std::unique_ptr<TFont, orv::FreeDeleter> font(new TFont);
  font->SetName("Arial");
  EXPECT_TRUE(SetCanvasFontAngle(canvas.get(), font.get(), -90));
  EXPECT_EQ(canvas->GetFontInfo().lfEscapement, 2700);
  EXPECT_TRUE(SetCanvasFontAngle(canvas.get(), font.get(), 360));
  EXPECT_EQ(canvas->GetFontInfo().lfEscapement, 0);
  EXPECT_EQ(GetEffectiveFontAngle(canvas.get(), -450), 270);
}
