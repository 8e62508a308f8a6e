# The transport for the real network, against a stand-in of Net::OSCAR
# (t/fake): what the bot asks of the package and what it makes of the
# package's callbacks. Whether a real server answers is not tested here.
use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";

subtest 'a missing Net::OSCAR is told apart from other failures' => sub {
    local @INC = ("$FindBin::Bin/no-oscar", @INC);
    require Tolvane::Transport::OSCAR;
    my $t = eval { Tolvane::Transport::OSCAR->new };
    is_deeply $@, { missing => 'Net::OSCAR', install => 'ppm install Net-OSCAR' };
    delete $INC{'Net/OSCAR.pm'};
};

unshift @INC, "$FindBin::Bin/fake";
require Tolvane::Transport::OSCAR;

sub signed_on {
    my $t = Tolvane::Transport::OSCAR->new;
    $t->signon(screen_name => 'joebot', password => 'pw', server => 'aim.example:5190');
    $Net::OSCAR::last->fire('signon_done');
    is_deeply [$t->poll(0.5)], [{ type => 'signed_on' }];
    return ($t, $Net::OSCAR::last);
}

subtest 'signing on: account and server handed over' => sub {
    my ($t, $o) = signed_on();
    is_deeply $o->{signon},
      { screenname => 'joebot', password => 'pw', host => 'aim.example', port => 5190 };
    is $o->{timeout}, 0.5, 'poll waits as long as asked';
};

subtest 'messages in: HTML made plain, automatic replies marked' => sub {
    my ($t, $o) = signed_on();
    $o->fire('im_in', 'Bob', '<HTML><BODY>Hi &amp; <b>bye</b><br>x &lt;3 &#65;</BODY></HTML>', 0);
    $o->fire('im_in', 'amy', 'I am away', 1);
    is_deeply [$t->poll(0)], [
        { type => 'im', from => 'Bob', text => "Hi & bye\nx <3 A", auto => 0 },
        { type => 'im', from => 'amy', text => 'I am away', auto => 1 },
    ];
};

subtest 'messages out: escaped, marked as automatic replies' => sub {
    my ($t, $o) = signed_on();
    ok $t->send_im('bob', "a < b & c\nnext");
    is_deeply $o->{sent}, [['bob', 'a &lt; b &amp; c<br>next', 1]];
};

subtest 'buddies: online, and the away message of an away buddy' => sub {
    my ($t, $o) = signed_on();
    $o->fire('buddy_in', 'bob', 'Buddies', { away => 1 });
    $o->fire('buddy_in', 'amy', 'Buddies', {});
    is_deeply $o->{asked_away}, ['bob'];
    $o->fire('buddy_info', 'bob', { awaymsg => 'Out <i>to</i> lunch' });
    is_deeply [$t->poll(0)], [
        { type => 'buddy_online', who => 'bob' },
        { type => 'buddy_online', who => 'amy' },
        { type => 'buddy_away', who => 'bob', text => 'Out to lunch' },
    ];
};

subtest 'sign-on failures by their reason' => sub {
    for ([ 'Invalid screenname or password.' => 'password' ],
        [ 'Incorrect nick/password' => 'password' ],
        [ 'Rate limit exceeded' => 'rate' ],
        [ "Couldn't connect to login.example:5190: Connection refused" => 'network' ],
        [ 'Account suspended' => 'other' ])
    {
        my ($text, $reason) = @$_;
        my $t = Tolvane::Transport::OSCAR->new;
        $t->signon(screen_name => 'x', password => 'y');
        $Net::OSCAR::last->fire('error', undef, 5, $text, 1);
        is_deeply [$t->poll(0)], [{ type => 'signon_failed', reason => $reason, detail => $text }], $text;
        ok !$t->send_im('bob', 'x'), 'nothing is sent before signing on';
    }
    no warnings "once";
    local $Net::OSCAR::signon_dies = "Couldn't resolve host\n";
    my $t = Tolvane::Transport::OSCAR->new;
    $t->signon(screen_name => 'x', password => 'y');
    my ($event) = $t->poll(0);
    is $event->{reason}, 'network', 'a sign-on that dies';
};

subtest 'losing the connection once online' => sub {
    my ($t, $o) = signed_on();
    $o->fire('error', undef, 1, 'a warning only', 0);
    $o->fire('connection_changed', { conntype => 'chat' }, 'deleted');
    is_deeply [$t->poll(0)], [], 'a warning and the end of a side connection are no loss';
    $o->fire('connection_changed', { conntype => 'bos' }, 'deleted');
    is_deeply [$t->poll(0)], [{ type => 'disconnected', detail => 'the server closed the connection' }];
    ok !$t->send_im('bob', 'x');
};

done_testing;
