function Vec(x, y) {
    this.x = x;
    this.y = y;
}
Vec.prototype.add = function (o) { this.x = (this.x + o.x) % 10007; this.y = (this.y + o.y) % 10009; return this; };
Vec.prototype.dot = function (o) { return this.x * o.x + this.y * o.y; };
Vec.prototype.step = function (i) { this.x = (this.x + i) % 10007; return this.dot(this); };
function run(n) {
    var a = new Vec(1, 2);
    var b = new Vec(3, 4);
    var check = 0;
    for (var i = 0; i < n; i++) {
        a.add(b);
        check = (check + a.step(i) + b.dot(a)) % 1000003;
    }
    return check;
}
print(run(SIZE));
