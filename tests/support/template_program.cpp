// A minimal Windows program: the template executable of builder tests,
// which only need some valid PE file to add resources to.
int main() { return 0; }
