#pragma once
// Sequences (generators) live outside transactions: a SELECT that calls
// GEN_ID or NEXT VALUE FOR moves a sequence of the store even in a read-only
// transaction, and the software that fills the store would then hand out
// keys twice. Every statement the program sends is checked here first.

#include <QString>

// The sequence call the statement makes outside string literals and
// comments ("GEN_ID" or "NEXT VALUE FOR"), letter case and blanks ignored;
// empty when it makes none.
QString SequenceCallIn(const QString &sql);
// The message that refuses such a statement.
QString SequenceCallMessage(const QString &word);
