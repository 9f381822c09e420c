#include "core/list.h"

#include <gtest/gtest.h>

#include <vector>

using namespace orvane;

namespace {
std::vector<int> Values(List<int>& list) {
  std::vector<int> out;
  for (int v : list) out.push_back(v);
  return out;
}
double Key(const int& v, const double& reference) { return v - reference; }
}  // namespace

TEST(List, InsertAtChecksItsPositions) {
  List<int> list;
  EXPECT_EQ(list.InsertAt(0, 5), -1);
  EXPECT_EQ(list.InsertAt(2, 5), -1);
  EXPECT_EQ(list.InsertAt(1, 5), 1);
  EXPECT_EQ(list.Add(7), 2);
  EXPECT_EQ(list.InsertAt(2, 6), 3);
  EXPECT_EQ(list.InsertAt(4, 8), 4);
  EXPECT_EQ(list.InsertAt(6, 9), -1);
  EXPECT_EQ(Values(list), (std::vector<int>{5, 6, 7, 8}));
  EXPECT_EQ(list.Back(), 8);
}

TEST(List, CursorWalksAndRestarts) {
  List<int> list;
  for (int v : {1, 2, 3}) list.Add(v);
  EXPECT_EQ(list.First(), 1);
  EXPECT_EQ(*list.Next(), 2);
  EXPECT_EQ(*list.Next(), 3);
  EXPECT_EQ(list.Next(), nullptr);
  EXPECT_EQ(list.First(), 1);
  EXPECT_EQ(list.GetAt(3), 3);
  EXPECT_EQ(*list.Next(), 3);  // the cursor stays on the element reached
  EXPECT_EQ(list.Next(), nullptr);
  EXPECT_EQ(list.GetAt(2), 2);
  EXPECT_EQ(*list.Next(), 2);
}

TEST(List, RemovalKeepsTheEndsRight) {
  List<int> list;
  list.Add(1);
  EXPECT_EQ(list.RemoveAt(1), 0);
  EXPECT_EQ(list.RemoveAt(1), -1);
  EXPECT_EQ(list.RemoveLast(), -1);
  list.Add(2);
  list.Add(3);
  list.Add(4);
  EXPECT_EQ(list.RemoveLast(), 2);
  EXPECT_EQ(list.Add(5), 3);
  EXPECT_EQ(Values(list), (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(list.RemoveIf([](int v) { return v != 3; }), 1);
  EXPECT_EQ(list.Front(), 3);
  EXPECT_EQ(list.Back(), 3);
  EXPECT_EQ(list.Clear(), 0);
  EXPECT_EQ(list.NumberOfElements(), 0);
  list.Add(9);
  EXPECT_EQ(Values(list), (std::vector<int>{9}));
}

TEST(List, SortIsStableAscendingAndReversedDescending) {
  List<int> list;
  for (int v : {3, 1, 2}) list.Add(v);
  list.Sort(Key, 0.0, 1);
  EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3}));
  list.Sort(Key, 0.0, -1);
  EXPECT_EQ(Values(list), (std::vector<int>{3, 2, 1}));

  List<std::pair<int, int>> pairs;
  for (auto p : {std::pair{1, 0}, {0, 1}, {1, 2}, {0, 3}}) pairs.Add(p);
  auto byFirst = [](const std::pair<int, int>& p, const int&) { return double(p.first); };
  pairs.Sort(byFirst, 0, 1);
  std::vector<int> order;
  for (auto& p : pairs) order.push_back(p.second);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 0, 2}));
  pairs.Sort(byFirst, 0, -1);
  order.clear();
  for (auto& p : pairs) order.push_back(p.second);
  EXPECT_EQ(order, (std::vector<int>{2, 0, 3, 1}));
  List<int> empty;
  EXPECT_EQ(empty.Sort(Key, 0.0, 1), 0);
}

TEST(List, FindBestTakesTheFirstSmallestKey) {
  List<int> list;
  for (int v : {5, 2, 7, 2}) list.Add(v);
  EXPECT_EQ(list.FindBest([](const int& v, int shift) { return double(v + shift); }, 1), 2);
  List<int> far;
  far.Add(4);
  far.Add(3);
  EXPECT_EQ(far.FindBest([](const int&) { return 2e10; }), 4);
}

TEST(List, CopiesAreDeepAndIndependent) {
  List<int> a;
  a.Add(1);
  a.Add(2);
  List<int> b = a;
  b.Add(3);
  a.RemoveAt(1);
  EXPECT_EQ(Values(a), (std::vector<int>{2}));
  EXPECT_EQ(Values(b), (std::vector<int>{1, 2, 3}));
  List<int> empty;
  b = empty;
  EXPECT_EQ(b.NumberOfElements(), 0);
}

TEST(ListDeathTest, FirstOfAnEmptyListIsAnAssertion) {
  List<int> list;
  EXPECT_DEATH(list.First(), "Begin!=NULL, unit list, line 135");
  EXPECT_DEATH(list.Sort(Key, 0.0, 0), "Order==1 \\|\\| Order ==-1");
  EXPECT_DEATH(list.Remove(nullptr), "Temp != NULL, unit list, line 287");
}
