#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

#include "file_faults.h"

#include "view/afm_metrics.h"
#include "view/picture_surface.h"

namespace {

TEST(PictureSurfaceTest, PostScriptStringsAreEscaped) {
  EXPECT_EQ(escapePostScript("plain 9 .. 10"), "plain 9 .. 10");
  EXPECT_EQ(escapePostScript("a(b)c\\d"), "a\\(b\\)c\\\\d");
  EXPECT_EQ(escapePostScript(")\\("), "\\)\\\\\\(");
  EXPECT_EQ(escapePostScript(std::string("t\ta\n\xe9", 5)), "t\\011a\\012\\351");

  AfmMetrics metrics;
  PostScriptSurface ps(metrics, 100, 100);
  ps.drawText(1, 10, "x) show (y");
  std::string doc = ps.finish();
  EXPECT_NE(doc.find("(x\\) show \\(y) 1 10 T"), std::string::npos) << doc;
  // The prolog is longer than any formatting buffer: it must arrive whole.
  EXPECT_NE(doc.find("<< /PageSize [100 100] >> setpagedevice\n0 100 translate"), std::string::npos)
      << doc;
}

TEST(PictureSurfaceTest, XmlTextIsEscaped) {
  EXPECT_EQ(escapeXml("<a & 'b'>\"c\""), "&lt;a &amp; &apos;b&apos;&gt;&quot;c&quot;");
  EXPECT_EQ(escapeXml(std::string("\x01\xe9", 2)), "?&#233;");
}

TEST(PictureSurfaceTest, MetricsComeFromTheAfmFiles) {
  AfmMetrics metrics;
  if (!metrics.haveAfm())
    GTEST_SKIP() << "fonts-urw-base35 not installed";
  // Courier: every glyph 600/1000 em; 10 points at 96 dpi are 13.33 pixels.
  EXPECT_EQ(metrics.textWidth(kFontAxis, "9"), 8);
  EXPECT_EQ(metrics.textWidth(kFontAxis, "123456"), 48);
  // Times: digits 500, space 250.
  EXPECT_EQ(metrics.textWidth(kFontHeader, " 12 "), 24); // 16-pixel font
  EXPECT_GT(metrics.fontHeight(kFontHeader), metrics.fontHeight(kFontList));
  EXPECT_LT(metrics.fontAscent(kFontHeader), metrics.fontHeight(kFontHeader));
}

TEST(PictureSurfaceTest, UnreadableAfmFallsBack) {
  AfmFont font;
  EXPECT_FALSE(readAfm("/nonexistent/x.afm", &font));
  AfmMetrics metrics(1.0, "/nonexistent");
  EXPECT_FALSE(metrics.haveAfm());
  EXPECT_GT(metrics.textWidth(kFontPane, "abc"), 0);
  EXPECT_GT(metrics.fontHeight(kFontPane), 0);
}

TEST(PictureSurfaceTest, SvgClipGroupsAreBalanced) {
  AfmMetrics metrics;
  SvgSurface svg(metrics, 50, 40);
  svg.setClip(0, 0, 50, 40);
  svg.setForeground({127, 127, 127});
  svg.drawLine(1, 2, 3, 4);
  svg.setClip(5, 5, 10, 10);
  svg.fillRectangle(5, 5, 3, 3);
  std::string doc = svg.finish();
  size_t open = 0, close = 0;
  for (size_t p = 0; (p = doc.find("<g ", p)) != std::string::npos; ++p)
    ++open;
  for (size_t p = 0; (p = doc.find("</g>", p)) != std::string::npos; ++p)
    ++close;
  EXPECT_EQ(open, 2u);
  EXPECT_EQ(close, 2u);
  EXPECT_NE(doc.find("stroke=\"#7f7f7f\""), std::string::npos);
  EXPECT_EQ(doc.substr(doc.size() - 7), "</svg>\n");
}

// A clip restores the saved graphics state: what is drawn after it names
// its colour and font again, or it would come out black in the default font.
TEST(PictureSurfaceTest, ColourAndFontAreSetAgainAfterAClip) {
  AfmMetrics metrics;
  PostScriptSurface ps(metrics, 100, 100);
  ps.setForeground({127, 127, 127});
  ps.setFont(kFontAxis);
  ps.drawLine(1, 2, 3, 4);
  ps.drawText(1, 10, "9");
  ps.setClip(0, 0, 50, 50);
  ps.drawLine(5, 6, 7, 8);
  ps.drawText(1, 20, "9");
  const std::string doc = ps.finish();
  const size_t clip = doc.find("rectclip");
  ASSERT_NE(clip, std::string::npos);
  const size_t colour = doc.find("0.498 0.498 0.498 setrgbcolor", clip);
  EXPECT_LT(colour, doc.find("5.5 6.5 L"));
  EXPECT_LT(doc.find("findfont", clip), doc.find("(9) 1 20 T"));
}

// A picture that did not reach its file whole is reported, whether its
// folder is missing or the write or the close failed.
TEST(PictureSurfaceTest, FailedWritesAreReported) {
  std::string error;
  EXPECT_FALSE(writeDocument("/nonexistent-dir/picture.ps", "x", &error));
  EXPECT_FALSE(error.empty());
  const std::string path = ::testing::TempDir() + "picture.ps";
  for (FileCall call : {FileCall::Write, FileCall::Close}) {
    error.clear();
    failNextCall(call);
    EXPECT_FALSE(writeDocument(path, "%!PS\n", &error));
    clearFileFaults();
    EXPECT_FALSE(error.empty());
  }
  EXPECT_TRUE(writeDocument(path, "%!PS\n", &error));
  unlink(path.c_str());
}

} // namespace
