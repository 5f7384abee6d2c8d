#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "pdf/PdfStructure.h"

using namespace pdf;

namespace {
bool IsListed(const TPDFStructure& s, const TPDFObject* o) {
  auto live = s.LiveObjects();
  return std::find(live.begin(), live.end(), o) != live.end();
}
}  // namespace

TEST(Ownership, ReleasedValueStillHeldElsewhereStaysAlive) {
  TPDFStructure s;
  TPDFDictionary* a = s.NewDictionary();
  TPDFDictionary* b = s.NewDictionary();
  TPDFNumeric* shared = s.NewNumber(7);
  a->SetValue("N", shared);
  b->SetValue("N", shared);
  a->Unlink("N");
  s.ReleaseObject(shared);
  EXPECT_TRUE(IsListed(s, shared));
  EXPECT_EQ(b->ToText(), "<<\n/N 7\n>>\n");
  b->Unlink("N");
  s.ReleaseObject(shared);
  EXPECT_FALSE(IsListed(s, shared));
}

TEST(Ownership, SharedNamesAreNeverFreedAndServeEveryDictionary) {
  TPDFStructure s;
  TPDFName* type = s.SharedName("Type");
  EXPECT_TRUE(type->Shared());
  EXPECT_EQ(s.SharedName("Type"), type);
  TPDFDictionary* d = s.NewDictionary();
  d->SetValue("Type", s.NewName("Page"));
  EXPECT_EQ(d->EntryAt(0).key, type);
  s.ReleaseObject(type);
  EXPECT_TRUE(IsListed(s, type));
  // Texts outside the common list get a new shared object each time.
  EXPECT_NE(s.SharedName("Catalog"), s.SharedName("Catalog"));
}

TEST(Ownership, SharedNameTakesTheOldestNameWithTheTextWhoeverMadeIt) {
  TPDFStructure s;
  TPDFName* parsed = As<TPDFName>(s.ParseObject("/Length").object);
  TPDFName* later = s.NewName("Length");
  EXPECT_FALSE(parsed->Shared());
  EXPECT_EQ(s.SharedName("Length"), parsed);
  EXPECT_TRUE(parsed->Shared());
  EXPECT_FALSE(later->Shared());
  // Renaming moves a name in or out of the lookup.
  parsed->SetValue("Other");
  EXPECT_EQ(s.SharedName("Length"), later);
}

TEST(Ownership, DisposeFreesOnlyWhatNothingHolds) {
  TPDFStructure s;
  TPDFDictionary* page = s.NewDictionary();
  TPDFArray* box = s.NewIntegerArray({0, 0, 612, 792});
  page->SetValue("MediaBox", box);
  const size_t before = s.LiveCount();
  page->DeleteKey("MediaBox");  // offered while still held: nothing is freed
  EXPECT_EQ(s.LiveCount(), before);
  EXPECT_EQ(page->Count(), 0);
  box->Dispose();  // the array goes, its numbers stay with the owner until cleared
  EXPECT_EQ(s.LiveCount(), before - 1);
  s.ClearStructure();
  EXPECT_EQ(s.LiveCount(), 0u);
  EXPECT_EQ(s.Precision(), 4);
}

TEST(Ownership, AStreamKeepsItsDictionaryAndTakesItAlong) {
  TPDFStructure s;
  TPDFStream* stream = s.NewStream("abc", false);
  TPDFDictionary* dictionary = stream->Dictionary();
  s.ReleaseObject(dictionary);
  EXPECT_TRUE(IsListed(s, dictionary));
  stream->Dispose();
  EXPECT_FALSE(IsListed(s, stream));
  EXPECT_FALSE(IsListed(s, dictionary));
}

TEST(Ownership, IndirectObjectsStayWhileTheTableHoldsThem) {
  TPDFStructure s;
  TPDFDictionary* d = s.NewDictionary();
  d->MarkIndirect(1, 0);
  s.ReleaseObject(d);
  EXPECT_TRUE(IsListed(s, d));
}

TEST(Ownership, ReleasingManyKeepsCreationOrder) {
  TPDFStructure s;
  std::vector<TPDFObject*> made;
  for (int i = 0; i < 500; ++i) made.push_back(s.NewNumber(i));
  for (int i = 0; i < 500; i += 2) s.ReleaseObject(made[static_cast<size_t>(i)]);
  std::vector<TPDFObject*> expected;
  for (int i = 1; i < 500; i += 2) expected.push_back(made[static_cast<size_t>(i)]);
  EXPECT_EQ(s.LiveObjects(), expected);
}

TEST(Dictionary, SetValueKeepsPositionAndRefusesItself) {
  TPDFStructure s;
  TPDFDictionary* d = s.NewDictionary();
  d->SetValue("A", s.NewNumber(1));
  d->SetValue("B", s.NewNumber(2));
  d->SetValue("A", s.NewNumber(3));
  d->SetValue("Self", d);
  EXPECT_EQ(d->ToText(), "<<\n/A 3\n/B 2\n>>\n");
  EXPECT_EQ(d->IndexOf("B"), 1);
  EXPECT_EQ(d->IndexOf("b"), -1);
  EXPECT_EQ(d->EntryAt(5).key, nullptr);
}

TEST(Dictionary, GetIntegerRoundsHalvesToEven) {
  TPDFStructure s;
  TPDFDictionary* d = s.NewDictionary();
  d->SetValue("Half", s.NewNumber(2.5));
  d->SetValue("ThreeHalf", s.NewNumber(3.5));
  d->SetValue("Name", s.NewName("x"));
  EXPECT_EQ(d->GetInteger("Half", -1), 2);
  EXPECT_EQ(d->GetInteger("ThreeHalf", -1), 4);
  EXPECT_EQ(d->GetInteger("Missing", -1), -1);
  EXPECT_EQ(d->GetInteger("Name", -1), -1);
  EXPECT_EQ(d->TypeName(), "");
}

TEST(Dictionary, ResolvesReferencesOnlyWithAHook) {
  TPDFStructure s;
  TPDFDictionary* d = s.NewDictionary();
  TPDFNumeric* target = s.NewNumber(42);
  d->SetValue("Ref", s.NewReference(9, 0));
  EXPECT_EQ(d->GetValue("Ref", true), nullptr);
  s.OnResolve = [&](const TPDFIndRef&, int32_t number, int32_t) -> TPDFObject* {
    return number == 9 ? target : nullptr;
  };
  EXPECT_EQ(d->GetValue("Ref", true), target);
  EXPECT_EQ(d->GetInteger("Ref", 0), 42);
}

TEST(Dictionary, AssignTakesEntriesAndCopiesAcrossOwners) {
  TPDFStructure one, two;
  TPDFDictionary* source = one.NewDictionary();
  source->SetValue("Type", one.SharedName("XObject"));
  source->SetValue("Box", one.NewIntegerArray({1, 2}));
  TPDFDictionary* same = one.NewDictionary();
  same->Assign(*source);
  EXPECT_EQ(same->EntryAt(1).value, source->EntryAt(1).value);
  TPDFDictionary* other = two.NewDictionary();
  other->Assign(*source);
  EXPECT_EQ(other->ToText(), source->ToText());
  EXPECT_EQ(other->EntryAt(1).value->Owner(), &two);
}

TEST(Array, InsertReplaceAndShiftNumbers) {
  TPDFStructure s;
  TPDFArray* a = s.NewArray();
  a->Append(s.NewReference(1, 0));
  a->Insert(0, s.NewNumber(0));
  a->Insert(2, s.NewDictionary());
  a->Insert(9, s.NewNull());
  a->Replace(2, s.NewReference(5, 0));
  a->ShiftNumbers(10);
  EXPECT_EQ(a->ToText(), "[ 0 11 0 R 15 0 R ]");
  EXPECT_EQ(a->ItemAt(-1), nullptr);
}

TEST(CommonNames, MembershipIsByExactText) {
  EXPECT_TRUE(IsCommonName("MediaBox"));
  EXPECT_TRUE(IsCommonName("Vellum"));
  EXPECT_TRUE(IsCommonName("Vmkr"));
  EXPECT_FALSE(IsCommonName("mediabox"));
  EXPECT_FALSE(IsCommonName("Media"));
  EXPECT_FALSE(IsCommonName("MediaBox][Length"));
  EXPECT_FALSE(IsCommonName(""));
  EXPECT_EQ(TPDFStructure::CommonNameIndex("MediaBox"), 0);
  EXPECT_EQ(TPDFStructure::CommonNameIndex("Vellum"), 30);
}

// ReleaseObject keeps a count of holding container slots instead of asking every live object
// whether it contains the one offered. Random edits check that both answers agree.
TEST(Ownership, ReleaseAgreesWithAskingEveryLiveObject) {
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    TPDFStructure s;
    auto pick = [&]() -> TPDFObject* {
      auto live = s.LiveObjects();
      return live.empty() ? nullptr : live[random() % live.size()];
    };
    for (int step = 0; step < 300; ++step) {
      switch (random() % 9) {
        case 0: s.NewDictionary(); break;
        case 1: s.NewArray(); break;
        case 2: s.NewNumber(step); break;
        case 3: s.NewStream("x", false); break;
        case 4: s.SharedName(random() % 2 ? "Type" : "Other"); break;
        case 5:
          if (auto* d = As<TPDFDictionary>(pick())) d->SetValue(random() % 2 ? "A" : "Kids", pick());
          break;
        case 6:
          if (auto* a = As<TPDFArray>(pick())) {
            if (random() % 2) a->Append(pick());
            else a->Replace(0, pick());
          }
          break;
        case 7:
          if (auto* d = As<TPDFDictionary>(pick())) random() % 2 ? d->DeleteKey("A") : d->Unlink("Kids");
          break;
        default: {
          TPDFObject* offered = pick();
          if (offered == nullptr) break;
          const auto live = s.LiveObjects();
          const auto* name = As<TPDFName>(offered);
          bool held = name != nullptr && name->Shared();
          for (const TPDFObject* other : live) held = held || other->Contains(offered);
          // A stream's own dictionary goes only with its stream.
          for (const TPDFObject* other : live)
            if (auto* stream = As<TPDFStream>(other)) held = held || stream->Dictionary() == offered;
          s.ReleaseObject(offered);
          EXPECT_EQ(IsListed(s, offered), held);
        }
      }
    }
  }
}
