function ascending(x, y) {
    return x - y;
}
function run(n) {
    var a = [];
    var seed = 12345;
    for (var i = 0; i < n; i++) {
        seed = (seed * 1103 + 12849) % 65521;
        a.push(seed);
    }
    var sum = 0;
    for (var round = 0; round < 4; round++) {
        for (var j = 0; j < n; j++) {
            a[j] = a[j] + round;
            sum = (sum + a[j] * (j % 7)) % 1000003;
        }
    }
    a.sort(ascending);
    var text = a.join(",");
    return (sum + text.length + a[0] + a[n - 1] + a[n >> 1]) % 1000003;
}
print(run(SIZE));
