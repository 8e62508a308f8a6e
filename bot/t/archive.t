# What the bot keeps: mrecived.txt and the HTML page of each run.
use strict;
use warnings;
use Test::More;
use FindBin ();
use lib "$FindBin::Bin/lib", "$FindBin::Bin/../lib";
use TestFolder;
use Tolvane::Archive;
use Tolvane::Bot;

sub page_of {
    my ($f) = @_;
    my @pages = grep { /\.html\z/ } TestFolder::files_in($f->saved);
    return undef unless @pages == 1;
    open my $fh, '<:raw', File::Spec->catfile($f->saved, $pages[0]) or die $!;
    local $/;
    return scalar <$fh>;
}

subtest 'the saved-messages folder is beside My Documents' => sub {
    is Tolvane::Bot::saved_dir_for('/p/root/My Documents/Tolvane'), '/p/root/Tolvane';
    is Tolvane::Bot::saved_dir_for('/p/root/My Documents/Tolvane/'), '/p/root/Tolvane';
};

subtest 'every message is kept; the first line sums them up, over runs' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->run("clock 2024-05-01 09:05:13\nim bob hi\n");
    is $f->first_line('mrecived.txt'), '1 message from 1 buddy since 2024-05-01 09:05';
    $f->run("clock 2024-05-02 10:00\nim Bob two\tlines\\nhere\nim amy hi\nim amy again\n");
    my @lines = split /\r\n/, $f->get('mrecived.txt');
    is $lines[0], '4 messages from 2 buddies since 2024-05-01 09:05', 'bob and Bob are one buddy';
    is $lines[1], "since\t2024-05-01 09:05:13";
    is $lines[2], "message\t2024-05-01 09:05:13\tbob\thi";
    is $lines[3], "message\t2024-05-02 10:00:00\tBob\ttwo\\tlines\\nhere", 'escaped, one line each';
    is scalar @lines, 6;
};

subtest 'a new file counts from the first run; lines that are not records are kept' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->run("clock 2024-05-01 08:00\n");
    is $f->first_line('mrecived.txt'), undef, 'nothing received: no file yet';
    $f->put('mrecived.txt', "whatever\r\nnotes of mine\r\nmessage\t2024-04-30 07:00:00\tamy\told\r\n");
    my ($bot) = $f->run("clock 2024-05-01 08:00\nim bob hi\n");
    my @lines = split /\r\n/, $f->get('mrecived.txt');
    is $lines[0], '2 messages from 2 buddies since 2024-04-30 07:00', 'since the oldest record';
    ok((grep { $_ eq 'notes of mine' } @lines), 'a line of the owner is not thrown away');
    like $f->get('results.txt'), qr/mrecived\.txt: 1 line\(s\) are not saved messages/;
};

subtest 'buddies\' away messages are kept only with the option on, once each' => sub {
    my $script = "clock 2024-05-01 10:00\naway bob Out to lunch\naway bob Out to lunch\n"
      . "autoim amy Be right back\nim carol hi\n";
    my $f = TestFolder->new;
    $f->settings(save_away => 0);
    $f->run($script);
    unlike $f->get('mrecived.txt'), qr/\naway\t/, 'option off';

    $f = TestFolder->new;
    $f->settings(save_away => 1);
    $f->run($script);
    my @away = grep { /\Aaway\t/ } split /\r\n/, $f->get('mrecived.txt');
    is_deeply \@away, ["away\t2024-05-01 10:00:00\tbob\tOut to lunch",
        "away\t2024-05-01 10:00:00\tamy\tBe right back"];
    is $f->first_line('mrecived.txt'), '1 message from 1 buddy since 2024-05-01 10:00',
      'away messages are not counted as messages';
    like page_of($f), qr/amy away message.*Be right back/;
};

subtest 'the page of a run: messages and answers, every text escaped' => sub {
    my $f = TestFolder->new;
    $f->settings(screen_name => 'joe<bot>', greeting => 'Hi & welcome');
    $f->run(qq{clock 2024-05-01 10:00\nim "<b>x</b>" <script>alert("1")</script> & 'q'\\nline two\x01\n});
    my $page = page_of($f);
    ok defined $page, 'one page in the saved-messages folder';
    unlike $page, qr/<script>|<b>x/, 'no markup of the buddy\'s';
    like $page, qr{&lt;script&gt;alert\(&quot;1&quot;\)&lt;/script&gt; &amp; &#39;q&#39;<br>line two\?};
    like $page, qr/&lt;b&gt;x&lt;\/b&gt; wrote/, 'the name too';
    like $page, qr/signed on as joe&lt;bot&gt; at 10:00: 1 message from 1 buddy/;
    like $page, qr/Hi &amp; welcome/;
    like $page, qr/\A<!DOCTYPE html>\r\n<html lang="en">/;
    unlike $page, qr/\b(?:src|href)=/, 'nothing from outside';
};

subtest 'a run with no conversation leaves no page; a missing folder is created' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->run("clock 2024-05-01 10:00\n");
    ok !-e $f->saved, 'nothing written';
    $f->run("clock 2024-05-01 10:00\nim bob hi\n");
    ok defined page_of($f);
    $f->run("clock 2024-05-01 10:00\nim bob hi\n");
    is scalar(grep { /\.html\z/ } TestFolder::files_in($f->saved)), 2,
      'a second run in the same second gets a page of its own';
};

subtest 'a saved-messages folder that cannot be made is a note, not a crash' => sub {
    my $f = TestFolder->new;
    $f->settings;
    $f->put('../../Tolvane', 'a file in the way');
    my ($bot, $t) = $f->run("clock 2024-05-01 10:00\nim bob hi\n");
    is_deeply [TestFolder::texts_to($t, 'bob')], ['GREETING', 'AWAY TEXT'];
    like $f->get('results.txt'), qr/cannot create the saved-messages folder/;
    like $f->get('mrecived.txt'), qr/\A1 message from 1 buddy/;
};

done_testing;
