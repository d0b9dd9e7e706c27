// What a folder listing's entry is: an item or the "." and ".." entries,
// a link or an ordinary file or folder, a name that Windows paths reach
// or one they can't.  Pure logic, no Win32 call.
#pragma once

#include <cstdint>

// "." or "..", the only entries of a listing that are not items.
bool EntryRules_IsSelfOrParent(const wchar_t *name);

// Symbolic links and mount points (junctions) are links: what lies behind
// them is not the user's selection, so a move copies their content and
// leaves them, and what they point to, in place.  Every other reparse
// point (cloud placeholders, de-duplicated files...) holds the user's own
// data and is copied and moved as an ordinary file or folder.
// `reparseTag` is the listing's reserved field, which Windows fills with
// the tag whenever FILE_ATTRIBUTE_REPARSE_POINT is set.
bool EntryRules_IsLink(uint32_t attributes, uint32_t reparseTag);

// The attributes a copy is created with: only read-only, hidden, system and
// archive (or "normal" when none of them).  The high bits of an attribute
// word are flags to CreateFile (no buffering, overlapped, delete on close,
// recall...), and an "offline" or sparse source's word passed on whole
// would open its copy in another mode.
uint32_t EntryRules_CreationAttributes(uint32_t sourceAttributes);
