#pragma once
// Small types shared by the program's own controls.

// The way the bands of a gradient follow one another.
enum TDirecao { DiEsquerdaDireita = 0, DiTopoBaixo = 1 };
