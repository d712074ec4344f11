#pragma once
// Small integer helpers shared by the kit's layout code.
#include <initializer_list>

void SwapIntegers(int& a, int& b);
// The largest and the smallest of the values (signed); 0 for an empty list.
int MaxInteger(std::initializer_list<int> values);
int MinInteger(std::initializer_list<int> values);
