// Key names of the replay scripts: DirectInput scan-code names without their DIK_ prefix.
#pragma once

// Scan code of a key name such as "UP" or "LCONTROL" (case-insensitive); -1 when unknown.
int Dik_From_Name(const char *name);
