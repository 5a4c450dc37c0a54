#pragma once
// General-purpose functions of the program: the settings file, password scrambling,
// the conversions of user text, and the timed message.

#include <QString>
#include <functional>

// The settings file: ZENOBRA_INI when set; C:\ZENOBRA.Ini on Windows; elsewhere
// $XDG_CONFIG_HOME/zenobra/ZENOBRA.Ini (~/.config when XDG_CONFIG_HOME is unset).
QString CaminhoIni();

// Replaces or adds one key (and its section and the file); raises "Unable to write to %s".
// The file is left readable and writable by its owner only (0600): it holds a password.
void GravarIni(const QString& secao, const QString& chave, const QString& valor);

// One key's value, at most 2047 characters; empty when the file, section or key is absent.
QString LerIni(const QString& secao, const QString& chave);

// Every character moves by the shift within the byte range; Decodifica undoes Codifica.
QString Codifica(const QString& texto, int deslocamento);
QString Decodifica(const QString& texto, int deslocamento);

// The one shift both call sites use. With it no character that can be typed scrambles
// into a code that would end or split a line of the settings file (0, 10, 13): only the
// control codes 16, 26 and 29 do.
inline constexpr int DeslocamentoSenha = 240;

// Blanks, an optional sign, then decimal digits or hexadecimal digits after "$", "x",
// "X", "0x" or "0X"; 32-bit signed. Raises "'%s' is not a valid integer value".
int StrToInt(const QString& texto);
bool TryStrToInt(const QString& texto, int& valor);

// A number (non-zero is true) or "True"/"False" in any letter case.
// Raises "'%s' is not a valid boolean value".
bool StrToBool(const QString& texto);
QString BoolToStr(bool valor); // "-1" or "0"

// Shows the text in the self-closing message window and returns when it has closed; the
// text is logged too (zenobra.ui).
void Mensagem(const QString& texto);
// Whether a message window is there to show it.
bool MensagemDisponivel();
// The message window registers itself here when it is created; the window registered
// before it is returned, to be put back when it goes.
std::function<void(const QString&)> RegistraMensagem(std::function<void(const QString&)> janela);
