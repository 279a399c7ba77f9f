#pragma once

#include <stdexcept>

namespace kestrel {

// An input of the service page that cannot go into its block. Carries the Russian
// message the write-back shows before it stops.
class ConfigurationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace kestrel
