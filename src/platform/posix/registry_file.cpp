// The registry file of the POSIX backend: a line-oriented text that a person can read and
// edit.
//
//   # Chronel registry 1
//   [HKEY_CURRENT_USER\Software\Demo]
//   sz Tasks=first%0D%0Asecond
//   dword Left=120
//   binary Scale=000000000000f83f
//   multi_sz Names=a,b%2Cc
//
// Every key has a line of its own (keys without values survive too), parents before their
// children; its values follow it. A value line is the type, a blank, the name, "=" and the
// data. Bytes below 32, 127, "%" and the characters that would end a field ("]" and "\" in
// key names, "=" in value names, "," in multi-string entries) are written as "%" and two
// hexadecimal digits.
#include <charconv>

#include "core/text.h"
#include "platform/posix/registry_tree.h"

namespace chronel::platform {
namespace {

constexpr std::string_view kHeader = "# Chronel registry 1";
constexpr std::string_view kRootNames[2] = {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

struct KindName {
  RegistryValueKind Kind;
  std::string_view Name;
};
constexpr KindName kKindNames[] = {
    {RegistryValueKind::String, "sz"},
    {RegistryValueKind::ExpandString, "expand_sz"},
    {RegistryValueKind::Binary, "binary"},
    {RegistryValueKind::Number32, "dword"},
    {RegistryValueKind::MultiString, "multi_sz"},
    {RegistryValueKind::Number64, "qword"},
};

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string Escape(std::string_view text, std::string_view specials) {
  std::string result;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127 || c == '%' || specials.find(c) != std::string_view::npos) {
      result += '%';
      result += kHexDigits[byte >> 4];
      result += kHexDigits[byte & 15];
    } else {
      result += c;
    }
  }
  return result;
}

std::string_view KindText(RegistryValueKind kind) {
  for (const KindName& entry : kKindNames) {
    if (entry.Kind == kind) return entry.Name;
  }
  return "sz";
}

std::string DataText(const RegistryValue& value) {
  switch (value.Kind) {
    case RegistryValueKind::String:
    case RegistryValueKind::ExpandString: return Escape(value.Text, "");
    case RegistryValueKind::Number32:
    case RegistryValueKind::Number64: return std::to_string(value.Number);
    case RegistryValueKind::Binary: {
      std::string hex;
      for (const uint8_t byte : value.Bytes) {
        hex += kHexDigits[byte >> 4];
        hex += kHexDigits[byte & 15];
      }
      return hex;
    }
    case RegistryValueKind::MultiString: {
      std::string joined;
      for (size_t i = 0; i < value.Strings.size(); ++i) {
        if (i) joined += ',';
        joined += Escape(value.Strings[i], ",");
      }
      return joined;
    }
  }
  return {};
}

void WriteNode(const RegistryNode& node, const std::string& path, std::string& out) {
  out += '[' + path + "]\n";
  for (const RegistryValue& value : node.Values) {
    out += std::string(KindText(value.Kind)) + ' ' + Escape(value.Name, "=") + '=' +
           DataText(value) + '\n';
  }
  for (const auto& [folded, child] : node.Children) {
    WriteNode(*child, path + '\\' + Escape(child->Name, "]\\"), out);
  }
}

// Reading: every fault names its line.
class FileReader {
 public:
  explicit FileReader(std::shared_ptr<RegistryNode> (&roots)[2]) : roots_(roots) {
    for (auto& root : roots_) root = std::make_shared<RegistryNode>();
  }

  void Read(std::string_view text) {
    for (const std::string& line : SplitLines(text)) {
      ++line_number_;
      if (line.empty() || line[0] == '#') continue;
      if (line[0] == '[') {
        ReadKey(line);
      } else {
        ReadValue(line);
      }
    }
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw ERegistryException("Registry file, line " + std::to_string(line_number_) + ": " + what,
                             1012);  // ERROR_CANTREAD
  }

  static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  }

  std::string Unescape(std::string_view text) const {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '%') {
        result += text[i];
        continue;
      }
      const int high = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
      const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
      if (low < 0) Fail("a \"%\" without two hexadecimal digits");
      result += static_cast<char>(high * 16 + low);
      i += 2;
    }
    return result;
  }

  void ReadKey(const std::string& line) {
    if (line.back() != ']') Fail("a key line must end with \"]\"");
    std::string_view path(line);
    path = path.substr(1, path.size() - 2);
    const size_t split = path.find('\\');
    const std::string_view root_name = path.substr(0, split);
    std::shared_ptr<RegistryNode> node;
    for (int i = 0; i < 2; ++i) {
      if (root_name == kRootNames[i]) node = roots_[i];
    }
    if (!node) Fail("unknown root \"" + std::string(root_name) + "\"");
    std::string_view rest = split == std::string_view::npos ? "" : path.substr(split + 1);
    for (size_t depth = 1; split != std::string_view::npos; ++depth) {
      if (depth > kRegistryMaxDepth) Fail("a key more than " + std::to_string(kRegistryMaxDepth) + " levels deep");
      const size_t end = rest.find('\\');
      const std::string name = Unescape(rest.substr(0, end));
      if (name.empty()) Fail("an empty key name");
      std::shared_ptr<RegistryNode>& child = node->Children[FoldRegistryName(name)];
      if (!child) {
        child = std::make_shared<RegistryNode>();
        child->Name = name;
      }
      node = child;
      if (end == std::string_view::npos) break;
      rest.remove_prefix(end + 1);
    }
    current_ = node;
  }

  RegistryValueKind ReadKind(std::string_view text) const {
    for (const KindName& entry : kKindNames) {
      if (entry.Name == text) return entry.Kind;
    }
    Fail("unknown value type \"" + std::string(text) + "\"");
  }

  uint64_t ReadNumber(std::string_view text, uint64_t limit) const {
    uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        number > limit) {
      Fail("\"" + std::string(text) + "\" is not a number of this type");
    }
    return number;
  }

  std::vector<uint8_t> ReadBytes(std::string_view text) const {
    if (text.size() % 2) Fail("binary data needs two hexadecimal digits per byte");
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
      const int high = HexValue(text[i]);
      const int low = HexValue(text[i + 1]);
      if (high < 0 || low < 0) Fail("binary data needs hexadecimal digits");
      bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return bytes;
  }

  void ReadData(RegistryValue& value, std::string_view data) const {
    switch (value.Kind) {
      case RegistryValueKind::String:
      case RegistryValueKind::ExpandString: value.Text = Unescape(data); return;
      case RegistryValueKind::Number32: value.Number = ReadNumber(data, UINT32_MAX); return;
      case RegistryValueKind::Number64: value.Number = ReadNumber(data, UINT64_MAX); return;
      case RegistryValueKind::Binary: value.Bytes = ReadBytes(data); return;
      case RegistryValueKind::MultiString:
        while (!data.empty()) {
          const size_t end = data.find(',');
          const std::string entry = Unescape(data.substr(0, end));
          if (!entry.empty()) value.Strings.push_back(entry);
          if (end == std::string_view::npos) break;
          data.remove_prefix(end + 1);
        }
        return;
    }
  }

  void ReadValue(std::string_view line) {
    if (!current_) Fail("a value before the first key");
    const size_t blank = line.find(' ');
    const size_t equals = line.find('=', blank);
    if (blank == std::string_view::npos || equals == std::string_view::npos) {
      Fail("a value line is: type name=data");
    }
    RegistryValue value;
    value.Kind = ReadKind(line.substr(0, blank));
    value.Name = Unescape(line.substr(blank + 1, equals - blank - 1));
    value.FoldedName = FoldRegistryName(value.Name);
    ReadData(value, line.substr(equals + 1));
    for (RegistryValue& existing : current_->Values) {
      if (existing.FoldedName == value.FoldedName) Fail("a second value \"" + value.Name + "\"");
    }
    current_->Values.push_back(std::move(value));
  }

  std::shared_ptr<RegistryNode> (&roots_)[2];
  std::shared_ptr<RegistryNode> current_;
  int line_number_ = 0;
};

}  // namespace

std::string RegistryToText(const RegistryTree& tree) {
  std::string text = std::string(kHeader) + '\n';
  for (int i = 0; i < 2; ++i) WriteNode(*tree.Roots[i], std::string(kRootNames[i]), text);
  return text;
}

void RegistryFromText(std::string_view text, std::shared_ptr<RegistryNode> (&roots)[2]) {
  FileReader(roots).Read(text);
}

}  // namespace chronel::platform
