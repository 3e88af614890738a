#pragma once
// Provider tables converted at build time from the test fixtures of tests/providers/fixtures/,
// by the same generator as the program's own.

#include "providers/ProviderDatabase.h"

namespace vantaro::testing {

// fixtures/edge-cases.xml: several network ids per provider, a network id shared by three
// providers (primary last in the file), providers without GSM or network id, a provider without
// APNs, APNs the fields cannot carry, texts outside ASCII.
const providers::ProviderDatabase& EdgeCasesDatabase();

} // namespace vantaro::testing
