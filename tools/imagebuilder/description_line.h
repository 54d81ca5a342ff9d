// One line of an image description, split into its command, bare words and
// key=value options, with typed readers that remember which parts were used
// so that a misspelt option is reported instead of ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace brovane::imagebuilder {

struct ChsBytes;

class DescriptionLine {
  public:
    // Splits a line; words and values may be quoted ("a b", with \" \\ \n \t
    // \r \0 and \xHH escapes). False with a message for a broken quote.
    bool Split(std::string_view text, std::string& error);

    const std::string& Command() const { return command_; }
    bool IsEmpty() const { return command_.empty(); }

    bool Has(const std::string& key) const { return options_.count(key) != 0; }
    // A bare word (a flag such as "deleted"); true when present.
    bool Flag(const std::string& word);
    // The first bare word (a path or label), empty when there is none.
    std::string Word();

    // Each reader leaves `out` alone when the option is missing and answers
    // false only for a value that does not parse; Error() then says why.
    bool Text(const std::string& key, std::string& out);
    template <typename T>
    bool Number(const std::string& key, T& out) {
        std::uint64_t value = 0;
        if (!Has(key)) {
            return true;
        }
        if (!ParseNumber(key, value, false, std::numeric_limits<T>::max())) {
            return false;
        }
        out = static_cast<T>(value);
        return true;
    }
    template <typename T>
    bool Number(const std::string& key, std::optional<T>& out) {
        T value{};
        if (!Has(key)) {
            return true;
        }
        if (!Number(key, value)) {
            return false;
        }
        out = value;
        return true;
    }
    // A number with an optional K, M or G suffix (binary multiples).
    bool ByteSize(const std::string& key, std::uint64_t& out);
    // "5,9,6" or ranges "10-14,3".
    bool ClusterList(const std::string& key, std::vector<std::uint32_t>& out);
    // Contiguous hexadecimal digits, two a byte.
    bool HexBytes(const std::string& key, std::vector<std::uint8_t>& out);
    // "head/sector/cylinder" as the three raw bytes.
    bool Chs(const std::string& key, std::optional<ChsBytes>& out);
    // YYYY-MM-DD and HH:MM:SS as directory entries store them.
    bool Date(const std::string& key, std::uint16_t& out);
    bool Time(const std::string& key, std::uint16_t& out);

    // False when an option or word was never read (unknown to the command).
    bool CheckAllUsed(std::string& error) const;
    const std::string& Error() const { return error_; }

  private:
    bool ParseNumber(const std::string& key, std::uint64_t& out, bool suffix, std::uint64_t max);
    bool Fail(const std::string& key, const std::string& what);
    const std::string& Value(const std::string& key);

    std::string command_;
    std::vector<std::string> words_;
    std::vector<bool> wordUsed_;
    std::map<std::string, std::string> options_;
    std::set<std::string> used_;
    std::string error_;
};

}  // namespace brovane::imagebuilder
