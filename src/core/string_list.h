// An ordered list of text lines: the value of string-list properties (a holder's Strings, the
// message table's lists). Tells its owner about every change.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/exception.h"
#include "core/object.h"

namespace chronel {

// "List index out of bounds (<index>)".
class EStringListError : public Exception {
 public:
  using Exception::Exception;
};

// Not thread-safe: owned by one object and changed on its thread.
class TStringList : public TObject {
 public:
  TStringList() = default;
  explicit TStringList(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  TStringList(const TStringList&) = delete;
  TStringList& operator=(const TStringList&) = delete;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int Count() const { return static_cast<int>(lines_.size()); }
  bool IsEmpty() const { return lines_.empty(); }
  // Raise EStringListError for an index outside 0..Count()-1 (Insert: 0..Count()).
  const std::string& operator[](int index) const;
  void Put(int index, std::string line);
  void Add(std::string line);
  void Insert(int index, std::string line);
  void Delete(int index);
  void Clear();

  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines);
  // Every line followed by CR LF; an empty list gives an empty text.
  std::string Text() const;
  // The lines of `text`, broken at CR, LF or CR LF; a break at the end adds no empty line.
  void SetText(std::string_view text);
  void Assign(const TStringList& source) { SetLines(source.lines_); }

  // Changes between BeginUpdate and the matching EndUpdate are announced once, at the end.
  void BeginUpdate() { ++updateDepth_; }
  void EndUpdate();
  // Runs after every change (the owner keeps other state in step); empty for none.
  void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

 private:
  void CheckIndex(int index, int count) const;
  void Changed();

  std::vector<std::string> lines_;
  std::function<void()> onChange_;
  int updateDepth_ = 0;
  bool changedWhileUpdating_ = false;
};

}  // namespace chronel
