#pragma once
// The sibling sales and billing program, "caixa" in the program's own folder: started
// without waiting (sales) or started and waited for while the windows stay alive (billing).

#include <QString>

// The platform's show mode for the started program's first window: shown and activated.
inline constexpr int SW_SHOW = 5;

// The longest command line a caller may pass: a longer one is not run at all.
inline constexpr qsizetype ComprimentoMaximoDaLinha = 512;

// The folder of the running program; tests may point it elsewhere.
QString PastaDoPrograma();
void DefinePastaDoPrograma(const QString& pasta);

// <program folder>/caixa, or caixa.exe on Windows.
QString CaminhoCaixa();

// Starts the program named by the first word of the command line (quotes group words) and,
// every 50 ms until it ends, serves this program's pending window events. Returns its exit
// code, or -1 when it could not be started.
int ExecutaEEspera(const QString& linhaDeComando, int modoDeExibicao);

// Starts the command line and returns at once; the started program outlives this one.
void IniciaPrograma(const QString& linhaDeComando, int modoDeExibicao);
