#include "cli/AreaOptions.h"

namespace kestrel::cli {

void declareAreaOptions(CommandSyntax& syntax, Need need)
{
    syntax.option("--start", "A", "начальный адрес области (0x, $ или десятичный), как поле страницы «Дополнительно»",
              need)
        .option("--size", "N", "размер области в байтах (0x, $ или десятичный)", need);
}

AreaFields areaFieldsFromOptions(const ParsedArgs& args)
{
    AreaFields fields{args.value("--start").value_or(""), args.value("--size").value_or("")};
    if (const std::string error = areaFieldsError(fields); !error.empty())
        throw UsageError(error);
    return fields;
}

} // namespace kestrel::cli
