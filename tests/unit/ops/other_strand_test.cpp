// The second set (hits with the other strand of sequence 2) through the
// journal, Select all, Delete and the footnotes: kept with the action that
// made it, restored with sequence 2's orientation, and removed like the
// session's own hits.
#include "core/strands.h"
#include "engine/strands.h"
#include "journal_fixture.h"
#include "ops/resolve.h"
#include "ops/selections.h"
#include "output/alignment_files.h"

namespace {
constexpr int32_t kNew = 65, kAlign = 73, kReverse = 126, kMoveToFootnotes = 89;

std::vector<int64_t> otherHits() {
  std::vector<int64_t> all;
  for (const Hit *h = gOther.head1; h; h = h->next1)
    all.insert(all.end(), {h->start1, h->end1, h->start2, h->end2, h->firstBlock->length});
  return all;
}

bool turned() { return (gSeq2->flags & kSeqInverted) != 0; }
} // namespace

TEST_F(JournalSession, UndoAndRedoRestoreBothSetsWithTheOrientation) {
  box(0, 10, 0, 10);
  rebuild();
  JournalAction(kNew);
  box(20, 30, 20, 30);
  makeOtherStrandHit(100, 50, 40);
  rebuild();
  JournalAction(kAlign);
  const std::vector<int64_t> mine = keptHits(), other = otherHits();
  const uint8_t first2 = gSeq2->residues[0];
  reverseStrands();
  JournalAction(kReverse);
  const std::vector<int64_t> reversed = keptHits();

  UndoStep();
  EXPECT_STREQ(JournalPositionText(gCurrent->reportFirst), "1/2 Reverse");
  EXPECT_FALSE(turned());
  EXPECT_EQ(gSeq2->residues[0], first2);
  EXPECT_EQ(keptHits(), mine);
  EXPECT_EQ(otherHits(), other);
  EXPECT_EQ(gCurrent->region[2], 0);
  UndoStep();
  EXPECT_EQ(gOther.head1, nullptr) << "the Align that found them is undone";
  EXPECT_EQ(starts(), (Starts{0}));
  RedoStep();
  EXPECT_EQ(otherHits(), other);
  RedoStep();
  EXPECT_TRUE(turned());
  EXPECT_EQ(keptHits(), reversed);
  EXPECT_EQ(otherHits(), (std::vector<int64_t>{0, 10, 0, 10, 10, 20, 30, 20, 30, 10}));
  for (const Hit *h = gOther.head1; h; h = h->next1)
    EXPECT_TRUE(onOtherStrand(h));
}

TEST_F(JournalSession, SessionsOnOneStrandKeepTheirRecordsAsTheyWere) {
  box(0, 10, 0, 10);
  rebuild();
  JournalAction(kNew);
  box(20, 30, 20, 30);
  rebuild();
  JournalAction(kAlign);
  EXPECT_EQ(readWholeFile(journalUndoFileName()),
            ">0 47 0\n/0..10 0..10 0\n:(0,0):10\n"
            ">2 36 0\n/0..10 0..10 0\n:(0,0):10\n/20..30 20..30 0\n:(0,0):10\n");

  // A session that starts turned keeps that orientation through Undo.
  clearTestHits();
  reverseStrands();
  JournalAction(kNew);
  reverseStrands();
  JournalAction(kReverse);
  EXPECT_FALSE(turned());
  UndoStep();
  EXPECT_TRUE(turned());
}

TEST_F(JournalSession, SelectDeleteAndFootnotesReachTheOtherStrand) {
  box(0, 10, 0, 10);
  makeOtherStrandHit(100, 50, 40);
  makeOtherStrandHit(300, 200, 30);
  rebuild();
  JournalAction(kNew);
  // Along sequence 2 as it stands the first lies at 310..350, outside the
  // window's region: left alone. The second lies at 170..200.
  gCurrent->region[2] = 0;
  gCurrent->region[3] = 210;
  SelectAll(true);
  EXPECT_FALSE(gOther.head1->flags & kHitSelAll);
  EXPECT_TRUE(gOther.tail1->flags & kHitSelAll);
  DeleteMarked(2);
  JournalAction(kMoveToFootnotes);
  EXPECT_EQ(gCurrent->reportSecond, 2);
  EXPECT_EQ(otherHits(), (std::vector<int64_t>{100, 140, 50, 90, 40}));

  // With nothing marked the selected hit goes, whichever its set.
  gCurrent->region[3] = kLength;
  gCurrent->reportSecond = 0;
  gCurrent->selectedHit = gOther.head1;
  DeleteMarked(1);
  EXPECT_EQ(gCurrent->reportSecond, 1);
  EXPECT_EQ(gOther.head1, nullptr);
  EXPECT_EQ(gOther.count, 0);

  // The footnote of the other strand, in its section, along that strand.
  const std::string out = dir + "/f.ftn_align";
  ASSERT_TRUE(SaveFootnotes(out.c_str()));
  const std::string text = readWholeFile(out);
  const size_t section = text.find("\nReverse strand:\n");
  ASSERT_NE(section, std::string::npos) << text;
  EXPECT_LT(text.find("1st: 1 .. 10 (10)   2nd: 1 .. 10 (10)"), section);
  EXPECT_GT(text.find("1st: 301 .. 330 (30)   2nd: 200 .. 171 (30)"), section) << text;
  EXPECT_FALSE(turned()) << "sequence 2 is turned back after the write";
}
