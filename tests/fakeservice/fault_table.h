#pragma once
// Faults injected by table: each rule picks requests by method, path, query
// and decoded text, counts the requests it picks, and answers a chosen window
// of them (the N-th, N times, or all from the N-th on) with its own reply. A
// rule may also let the service apply the request first and only then answer
// with the fault (the "done, but the reply was lost" case).

#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "fakeservice/http_exchange.h"

struct FaultRule {
  std::string name;           // shown in failure messages and Hits()
  std::string method;         // empty: any
  std::string path;           // exact path without query; empty: any
  std::string queryContains;  // raw query holds this text (e.g. "opera=rename"); empty: any
  // The percent-decoded target and body ("+" as a blank) hold this text, e.g. a
  // remote path; empty: any.
  std::string textContains;
  int fromOccurrence = 1;   // the first picked request answered, counting from 1
  int times = -1;           // how many picked requests are answered; -1: no end
  bool applyFirst = false;  // let the service do the request, then send `reply`
  FakeReply reply;
};

struct FaultMatch {
  FakeReply reply;
  bool applyFirst = false;
};

class FaultTable {
 public:
  void Add(FaultRule rule);
  void Clear();
  // The first rule that picks `request` and whose window holds this pick
  // answers it. Every rule that picks the request counts it.
  std::optional<FaultMatch> Match(const RecordedRequest& request);
  // How many requests the named rule has picked so far (-1: no such rule).
  int Picked(const std::string& name) const;

 private:
  struct Entry {
    FaultRule rule;
    int picked = 0;
  };
  mutable std::mutex m_mutex;
  std::vector<Entry> m_entries;
};
