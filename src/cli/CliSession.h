#pragma once

#include "cli/CommandOptions.h"
#include "cli/CliUserInterface.h"
#include "core/pipeline/Session.h"

#include <iosfwd>
#include <memory>

namespace kestrel::cli {

// Options shared by the commands that open an image as the window would.
void declareStepOption(CommandSyntax& syntax);
void declarePreviousOption(CommandSyntax& syntax);
void declareYesOption(CommandSyntax& syntax);
void declareLocaleOption(CommandSyntax& syntax);

// Opens IMAGE in a freshly started program's state, applies --step and --previous.
// Returns kExitOk or the exit code to stop with (the reason is already on `err`).
int openSession(const ParsedArgs& args, const std::string& imagePath, Session& session, CliUserInterface& ui,
    std::ostream& err);

} // namespace kestrel::cli
