// The program the layer checks link each lower library into: it needs nothing but the library's own objects.
int main() { return 0; }
