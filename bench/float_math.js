function mandel(n) {
    var total = 0;
    for (var y = 0; y < n; y++) {
        var ci = (y * 2.0) / n - 1.0;
        for (var x = 0; x < n; x++) {
            var cr = (x * 3.0) / n - 2.0;
            var zr = 0.0;
            var zi = 0.0;
            var k = 0;
            while (k < 50) {
                var zr2 = zr * zr;
                var zi2 = zi * zi;
                if (zr2 + zi2 > 4.0) break;
                zi = 2.0 * zr * zi + ci;
                zr = zr2 - zi2 + cr;
                k++;
            }
            total += k;
        }
    }
    return total;
}
function roots(n) {
    var s = 0.0;
    for (var i = 1; i <= n; i++) s += Math.sqrt(i) * 0.5;
    return Math.floor(s) % 1000000;
}
var n = SIZE;
print(mandel(n) + roots(n * n) | 0);
