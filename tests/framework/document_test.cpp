#include "framework/document.h"

#include <gtest/gtest.h>

namespace klarex {
namespace {

struct CountingView : CDocumentObserver {
  int updates = 0;
  void OnUpdate(CDocumentObserver*, LPARAM) override { ++updates; }
};

TEST(Document, UpdateAllViewsSkipsTheSenderAndRemovedViews) {
  CDocument doc;
  CountingView a, b;
  doc.AddView(&a);
  doc.AddView(&b);
  doc.AddView(&a);  // registered once only
  doc.UpdateAllViews(nullptr);
  doc.UpdateAllViews(&a);
  EXPECT_EQ(a.updates, 1);
  EXPECT_EQ(b.updates, 2);
  doc.RemoveView(&b);
  doc.UpdateAllViews(nullptr);
  EXPECT_EQ(b.updates, 2);
  EXPECT_EQ(a.updates, 2);
}

}  // namespace
}  // namespace klarex
