#pragma once
// The client library hands a file name to the system in the system's
// character set, converting it from UTF-8 first: in a locale that is not
// UTF-8 (no LANG, or "C", as under a service or "env -i") no name with
// Cyrillic letters could be opened. So a program takes a UTF-8 character
// type before it first uses the engine, after the application object has
// set the user's locale.

// Keeps the locale's character type when it is UTF-8, else switches it to
// C.UTF-8. True when the character type is UTF-8 afterwards.
bool PrepareEngineFileNames();
