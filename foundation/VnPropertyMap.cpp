// The property map's entries and typed accessors.
#include "VnPropertyMap.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "VnSort.h"

namespace {

// Shortest text that reads back to the same value; whole numbers keep ".0" so
// that the text reads as a floating-point value.
template <class Number>
VnString NumberToText(Number value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) return VnString(u"0.0");
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".enai") == std::string::npos) text += ".0";
    return VnString::FromUtf8(text);
}

}  // namespace

VnString VnPropertyMap::DoubleToText(double value) { return NumberToText(value); }

VnString VnPropertyMap::FloatToText(float value) { return NumberToText(value); }

VnPropertyMap::VnPropertyMap(const VnPropertyMap& other) : loadedVersion_(other.loadedVersion_) {
    if (other.entries_) entries_ = std::make_unique<Entries>(*other.entries_);
}

VnPropertyMap& VnPropertyMap::operator=(const VnPropertyMap& other) {
    if (this != &other) {
        CopyFrom(other);
        loadedVersion_ = other.loadedVersion_;
    }
    return *this;
}

VnPropertyMap::~VnPropertyMap() = default;

VnPropertyMap::Entries& VnPropertyMap::Storage() {
    if (!entries_) entries_ = std::make_unique<Entries>();
    return *entries_;
}

bool VnPropertyMap::Exists(const VnString& key) const { return entries_ && entries_->Contains(key); }

VnString VnPropertyMap::GetString(const VnString& key, const VnString& defaultValue) const {
    if (!entries_) return defaultValue;
    const VnString* value = entries_->Find(key);
    return value ? *value : defaultValue;
}

int32_t VnPropertyMap::GetInt(const VnString& key, int32_t defaultValue) const {
    return VnString::ParseInt(GetString(key, VnString::FromInt(defaultValue)));
}

int64_t VnPropertyMap::GetInt64(const VnString& key, int64_t defaultValue) const {
    return VnString::ParseInt64(GetString(key, VnString::FromInt(defaultValue)));
}

int32_t VnPropertyMap::GetLong(const VnString& key, int32_t defaultValue) const { return GetInt(key, defaultValue); }

double VnPropertyMap::GetDouble(const VnString& key, double defaultValue) const {
    return VnString::ParseDouble(GetString(key, DoubleToText(defaultValue)));
}

float VnPropertyMap::GetFloat(const VnString& key, float defaultValue) const {
    double value = VnString::ParseDouble(GetString(key, FloatToText(defaultValue)));
    // Beyond the largest float (and half its last step, which still rounds
    // down to it) the text is out of range.
    constexpr double kFloatLimit = double(std::numeric_limits<float>::max()) + 0x1p103;
    if (std::fabs(value) >= kFloatLimit) return 0.0f;
    return static_cast<float>(value);
}

void VnPropertyMap::SetString(const VnString& key, const VnString& value, bool removeIfEmpty) {
    if (removeIfEmpty && value.IsEmpty()) {
        RemoveKey(key);
        return;
    }
    Entries& entries = Storage();
    if (VnString* existing = entries.Find(key))
        *existing = value;  // the key keeps the spelling of its first write
    else
        entries.SetAt(key, value);
}

void VnPropertyMap::SetInt(const VnString& key, int32_t value) { SetString(key, VnString::FromInt(value)); }

void VnPropertyMap::SetInt64(const VnString& key, int64_t value) { SetString(key, VnString::FromInt(value)); }

void VnPropertyMap::SetLong(const VnString& key, int32_t value) { SetInt(key, value); }

void VnPropertyMap::SetDouble(const VnString& key, double value) { SetString(key, DoubleToText(value)); }

void VnPropertyMap::SetFloat(const VnString& key, float value) { SetString(key, FloatToText(value)); }

int32_t VnPropertyMap::GetCount() const { return entries_ ? entries_->GetCount() : 0; }

bool VnPropertyMap::RemoveKey(const VnString& key) { return entries_ && entries_->RemoveKey(key); }

VnStringArray VnPropertyMap::GetKeys() const {
    if (!entries_) return VnStringArray();
    VnStringArray keys = entries_->GetKeys();
    VnStringArraySort::Sort(keys);
    return keys;
}

void VnPropertyMap::ForEachEntry(const EntryVisitor& visit) const {
    for (const VnString& key : GetKeys()) visit(key, *entries_->Find(key));
}

void VnPropertyMap::RemoveAll() {
    if (entries_) entries_->RemoveAll();
}

int32_t VnPropertyMap::Merge(const VnPropertyMap& other, bool overwrite) {
    if (&other == this) return 0;
    int32_t written = 0;
    other.ForEachEntry([&](const VnString& key, const VnString& value) {
        if (!overwrite && Exists(key)) return;
        SetString(key, value);
        ++written;
    });
    return written;
}

void VnPropertyMap::CopyFrom(const VnPropertyMap& other) {
    if (&other == this) return;
    RemoveAll();
    Merge(other);
}

bool VnPropertyMap::IsEqual(const VnPropertyMap& other) const {
    if (GetCount() != other.GetCount()) return false;
    if (!entries_) return true;
    for (const auto& [key, value] : *entries_) {
        if (!other.Exists(key) || other.GetString(key) != value) return false;
    }
    return true;
}
