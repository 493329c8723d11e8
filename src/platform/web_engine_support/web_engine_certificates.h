#pragma once
// The certificate rule of the browser libraries: an unknown authority is
// accepted only when the program's trust store (system authorities plus the
// extra CA file the program published, platform/qt/browser_trust.h) verifies the chain for the
// host; every other certificate error is refused.

class QWebEngineCertificateError;

void JudgeWebEngineCertificate(const QWebEngineCertificateError& error);
