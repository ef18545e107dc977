// How MessageBoxA's style becomes the display's request: the icon, the buttons with their ids, and
// the buttons that Return and Escape press. The headless display answers with the Return button.
#include "platform/user32/user_internal.h"
#include "window_harness.h"

namespace {

using platform::display::MessageBoxIcon;
using platform::user32::MessageBoxRequestFor;

std::vector<int> IdsOf(const platform::display::MessageBoxRequest& r) {
  std::vector<int> ids;
  for (const auto& b : r.buttons) ids.push_back(b.id);
  return ids;
}

TEST(MessageBoxRequest, EachButtonStyleGivesItsButtonsAndKeys) {
  auto ok = MessageBoxRequestFor("t", "c", MB_OK);
  EXPECT_EQ(IdsOf(ok), (std::vector<int>{IDOK}));
  EXPECT_EQ(ok.returnId, IDOK);
  EXPECT_EQ(ok.escapeId, IDOK);

  auto okCancel = MessageBoxRequestFor("t", "c", MB_OKCANCEL | MB_ICONWARNING);
  EXPECT_EQ(IdsOf(okCancel), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(okCancel.returnId, IDOK);
  EXPECT_EQ(okCancel.escapeId, IDCANCEL);
  EXPECT_EQ(okCancel.buttons[1].label, "Cancel");

  auto yesNo = MessageBoxRequestFor("t", "c", MB_YESNO);
  EXPECT_EQ(IdsOf(yesNo), (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(yesNo.returnId, IDYES);
  EXPECT_EQ(yesNo.escapeId, 0);
}

TEST(MessageBoxRequest, IconsTextsAndTheDefaultCaption) {
  EXPECT_EQ(MessageBoxRequestFor("t", "c", MB_ICONERROR).icon, MessageBoxIcon::kError);
  EXPECT_EQ(MessageBoxRequestFor("t", "c", MB_ICONWARNING | MB_OKCANCEL).icon, MessageBoxIcon::kWarning);
  EXPECT_EQ(MessageBoxRequestFor("t", "c", MB_ICONINFORMATION).icon, MessageBoxIcon::kInformation);
  EXPECT_EQ(MessageBoxRequestFor("t", "c", MB_OK).icon, MessageBoxIcon::kNone);
  auto r = MessageBoxRequestFor(nullptr, nullptr, MB_OK);
  EXPECT_EQ(r.text, "");
  EXPECT_EQ(r.caption, "Error");
}

TEST(MessageBoxRequest, TheHeadlessDisplayAnswersWithTheReturnButton) {
  harness::PrepareWindows();
  SupportTakeMessageBoxes();
  EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_YESNO), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "q", "c", MB_OKCANCEL | MB_ICONWARNING), IDOK);
  auto boxes = SupportTakeMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(boxes[1].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING));
}

}  // namespace
