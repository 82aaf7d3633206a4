import "unit_a.js"
function FromB() { }
