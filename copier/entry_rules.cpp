// Kinds of listing entries (see entry_rules.h).
#include "entry_rules.h"


enum : uint32_t {
    RULES_ATTRIBUTE_REPARSE_POINT = 0x400,     // FILE_ATTRIBUTE_REPARSE_POINT
    RULES_TAG_MOUNT_POINT = 0xA0000003,        // IO_REPARSE_TAG_MOUNT_POINT
    RULES_TAG_SYMLINK = 0xA000000C,            // IO_REPARSE_TAG_SYMLINK
    RULES_CREATION_ATTRIBUTES = 0x27,          // read-only, hidden, system, archive
    RULES_ATTRIBUTE_NORMAL = 0x80,
};

bool EntryRules_IsSelfOrParent(const wchar_t *name)
{
    return name[0] == L'.' &&
           (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool EntryRules_IsLink(uint32_t attributes, uint32_t reparseTag)
{
    if (!(attributes & RULES_ATTRIBUTE_REPARSE_POINT))
        return false;
    // Tag 0 is reserved and never set by Windows; Wine lists a linked
    // folder with the reparse attribute and no tag.  Not knowing what lies
    // behind it, the copier treats it as the link it most likely is, so a
    // move never deletes through it.
    return reparseTag == RULES_TAG_SYMLINK ||
           reparseTag == RULES_TAG_MOUNT_POINT || reparseTag == 0;
}

uint32_t EntryRules_CreationAttributes(uint32_t sourceAttributes)
{
    uint32_t attributes = sourceAttributes & RULES_CREATION_ATTRIBUTES;
    return attributes ? attributes : RULES_ATTRIBUTE_NORMAL;
}
