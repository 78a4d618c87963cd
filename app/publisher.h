#pragma once

// The publisher's web address: the settings organisation, and the start of every window title.
// The .ui forms carry the same text literally; a test keeps them in step.
inline constexpr char PublisherAddress[] = "www.lexigrove.example";
