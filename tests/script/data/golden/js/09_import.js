import "unit_a.js", "unit_b.js"
FromA();
