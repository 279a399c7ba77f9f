#include "cli/AreaOptions.h"

namespace kestrel::cli {

AreaFields areaFieldsFromOptions(const ArgParser& args)
{
    AreaFields fields{args.value("--start").value_or(""), args.value("--size").value_or("")};
    if (const std::string error = areaFieldsError(fields); !error.empty())
        throw UsageError(error);
    return fields;
}

} // namespace kestrel::cli
