// Key names of the replay scripts: DirectInput scan-code names without their DIK_ prefix.
#pragma once

// Scan code of a key name such as "UP" or "LCONTROL" (case-insensitive); -1 when unknown.
// "0x" and two hex digits name any scan code, for keys the table has no name for.
int Dik_From_Name(const char *name);
// The key's name as scripts write it (the first of its names), or null when it has none.
const char *Dik_Name(int code);
