#include "ProcessorFeatures.h"

#include <mutex>

#include "VnPlatform.h"

namespace {
constexpr uint32_t kMmxBit = 1u << 23;
constexpr uint32_t kSse2Bit = 1u << 26;

std::mutex g_featuresMutex;
bool g_known = false;
ProcessorFeatures g_features;
}  // namespace

ProcessorFeatures ProcessorFeatures::FromCpuidEdx(uint32_t edx) {
    ProcessorFeatures features;
    features.mmx = (edx & kMmxBit) != 0;
    features.sse2 = (edx & kSse2Bit) != 0;
    return features;
}

ProcessorFeatures ProcessorFeatures::Get() {
    std::lock_guard<std::mutex> lock(g_featuresMutex);
    if (!g_known) {
        g_features = FromCpuidEdx(VnPlatform().System().CpuidFeaturesEdx());
        g_known = true;
    }
    return g_features;
}

void ProcessorFeatures::Forget() {
    std::lock_guard<std::mutex> lock(g_featuresMutex);
    g_known = false;
}
