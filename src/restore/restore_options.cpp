#include "restore/restore_options.h"

#include "config/config_record.h"

namespace corvane::restore {

namespace {
struct PolicyName {
    OverwritePolicy policy;
    const char* name;
};
constexpr PolicyName kPolicies[] = {
    {OverwritePolicy::Ask, "ask"},       {OverwritePolicy::Newer, "newer"},
    {OverwritePolicy::Never, "never"},   {OverwritePolicy::Always, "always"},
    {OverwritePolicy::Rename, "rename"},
};
}  // namespace

const char* policyName(OverwritePolicy policy) {
    for (const auto& known : kPolicies) {
        if (known.policy == policy) return known.name;
    }
    return "";
}

std::optional<OverwritePolicy> parsePolicy(std::string_view text) {
    for (const auto& known : kPolicies) {
        if (text == known.name) return known.policy;
    }
    return std::nullopt;
}

void applyConfigDefaults(const ConfigRecord& config, RestoreOptions& options) {
    options.policy = config.restoreOverwrite != 0 ? OverwritePolicy::Always : OverwritePolicy::Ask;
    options.systemValidate = config.systemValidate != 0;
}

}  // namespace corvane::restore
