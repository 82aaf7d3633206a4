function FromA() { }
