#include "app/Transcript.h"

// Placeholder so the tree links while this file's owner writes it.
void CTranscript::AppendText(const std::string&) {}
void CTranscript::AppendAtCaret(const std::string&) {}
void CTranscript::ReplaceLastLine(const std::string&) {}
void CTranscript::SetText(const std::string&) {}
void CTranscript::TrimLog(bool) {}
