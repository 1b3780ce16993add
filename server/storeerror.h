#pragma once

#include <stdexcept>

// A database failure. Its text is for the operator's log, never for a client.
class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
